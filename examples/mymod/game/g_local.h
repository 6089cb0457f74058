/*
 * mymod server game: what the game's files share.
 */
#include "bg_mymod.h"

/* The calls the engine makes into the game through vmMain. */
typedef enum {
	GAME_INIT,
	GAME_SHUTDOWN,
	GAME_CLIENT_CONNECT,
	GAME_CLIENT_BEGIN,
	GAME_CLIENT_USERINFO_CHANGED,
	GAME_CLIENT_DISCONNECT,
	GAME_CLIENT_COMMAND,
	GAME_CLIENT_THINK,
	GAME_RUN_FRAME,
	GAME_CONSOLE_COMMAND,
	BOTAI_START_FRAME
} gameExport_t;

/* Engine calls, resolved by g_syscalls.asm. */
void	trap_Print( const char *text );
void	trap_Error( const char *text );
int		trap_Milliseconds( void );
int		trap_Argc( void );
void	trap_Argv( int n, char *buffer, int bufferLength );

/* g_main.c */
void	G_Printf( const char *text );

/* g_cmds.c */
int		G_ConsoleCommand( void );

/* What the game keeps of the level between frames. */
typedef struct {
	int		frameCount;
	int		levelTime;
	int		startTime;
} levelLocals_t;

extern int	levelTime;
extern int	frameCount;
