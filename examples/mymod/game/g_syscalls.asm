code

equ	trap_Print				-1
equ	trap_Error				-2
equ	trap_Milliseconds		-3
equ	trap_Argc				-9
equ	trap_Argv				-10
