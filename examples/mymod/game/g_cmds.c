/*
 * mymod server game: console commands.
 */
#include "g_local.h"

/* "mymod_status" prints how long the level has run. */
static void Cmd_Status_f( void ) {
	char text[MAX_TEXT];
	char number[16];

	BG_CopyString( text, MYMOD_VERSION ": ", sizeof( text ) );
	BG_IntegerToString( number, frameCount, sizeof( number ) );
	BG_AppendString( text, number, sizeof( text ) );
	BG_AppendString( text, " frames, level time ", sizeof( text ) );
	BG_IntegerToString( number, levelTime, sizeof( number ) );
	BG_AppendString( text, number, sizeof( text ) );
	BG_AppendString( text, " ms\n", sizeof( text ) );
	G_Printf( text );
}

static int G_SameText( const char *a, const char *b ) {
	while ( *a && *a == *b ) {
		a++;
		b++;
	}
	return *a == *b;
}

int G_ConsoleCommand( void ) {
	char command[MAX_TEXT];

	if ( trap_Argc() < 1 ) {
		return 0;
	}
	trap_Argv( 0, command, sizeof( command ) );
	if ( G_SameText( command, "mymod_status" ) ) {
		Cmd_Status_f();
		return 1;
	}
	return 0;
}
