export file17_0
export file17_1
export file17_2
code
file "/tmp/tessarin-bench-15367/src/file17.c"
line 2
proc file17_0 8 4
line 5
ADDRGP4 Shared
CALLV
pop
LABELV $1
endproc file17_0 8 4
line 7
proc file17_1 8 4
line 10
ADDRGP4 Shared
CALLV
pop
LABELV $1
endproc file17_1 8 4
line 12
proc file17_2 8 4
line 15
ADDRGP4 Shared
CALLV
pop
LABELV $1
endproc file17_2 8 4
