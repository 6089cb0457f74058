/*
 * mymod server game: the entry point the engine calls, and the level's clock.
 */
#include "g_local.h"

int levelTime;
int frameCount;

static void G_InitGame( int startTime, int randomSeed );
static void G_RunFrame( int time );

/*
 * vmMain: every call from the engine starts here. The assembler must lay this function out
 * first in the module, because the engine starts each call at the module's first instruction.
 */
int vmMain( int command, int arg0, int arg1, int arg2, int arg3, int arg4, int arg5, int arg6,
	int arg7, int arg8, int arg9, int arg10, int arg11 ) {
	switch ( command ) {
	case GAME_INIT:
		G_InitGame( arg0, arg1 );
		return 0;
	case GAME_SHUTDOWN:
		G_Printf( "mymod: shutting down\n" );
		return 0;
	case GAME_CLIENT_CONNECT:
		return 0;	/* a null string: the client may connect */
	case GAME_RUN_FRAME:
		G_RunFrame( arg0 );
		return 0;
	case GAME_CONSOLE_COMMAND:
		return G_ConsoleCommand();
	}
	return -1;
}

static void G_InitGame( int startTime, int randomSeed ) {
	char text[MAX_TEXT];

	levelTime = startTime;
	frameCount = 0;
	BG_CopyString( text, "------- " MYMOD_VERSION " game initialisation -------\n", sizeof( text ) );
	G_Printf( text );
}

static void G_RunFrame( int time ) {
	levelTime = time;
	frameCount++;
}

void G_Printf( const char *text ) {
	trap_Print( text );
}
