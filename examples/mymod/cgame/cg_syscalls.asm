code

equ	trap_Print				-1
equ	trap_Error				-2
equ	trap_Milliseconds		-3
