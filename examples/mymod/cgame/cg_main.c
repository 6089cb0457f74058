/*
 * mymod client game: the entry point the engine calls.
 */
#include "cg_local.h"

int cg_frames;

static void CG_Init( int serverMessageNum, int serverCommandSequence, int clientNum );

/* vmMain: every call from the engine starts here, so it is the module's first function. */
int vmMain( int command, int arg0, int arg1, int arg2, int arg3, int arg4, int arg5, int arg6,
	int arg7, int arg8, int arg9, int arg10, int arg11 ) {
	switch ( command ) {
	case CG_INIT:
		CG_Init( arg0, arg1, arg2 );
		return 0;
	case CG_SHUTDOWN:
		return 0;
	case CG_CONSOLE_COMMAND:
		return 0;
	case CG_DRAW_ACTIVE_FRAME:
		cg_frames++;
		return 0;
	case CG_CROSSHAIR_PLAYER:
	case CG_LAST_ATTACKER:
		return -1;
	}
	return 0;
}

static void CG_Init( int serverMessageNum, int serverCommandSequence, int clientNum ) {
	char text[MAX_TEXT];
	char number[16];

	cg_frames = 0;
	BG_CopyString( text, MYMOD_VERSION " client game for player ", sizeof( text ) );
	BG_IntegerToString( number, clientNum, sizeof( number ) );
	BG_AppendString( text, number, sizeof( text ) );
	BG_AppendString( text, "\n", sizeof( text ) );
	trap_Print( text );
}
