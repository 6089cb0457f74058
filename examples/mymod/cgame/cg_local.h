/*
 * mymod client game: what the client game's files share.
 */
#include "../game/bg_mymod.h"

/* The calls the engine makes into the client game through vmMain. */
typedef enum {
	CG_INIT,
	CG_SHUTDOWN,
	CG_CONSOLE_COMMAND,
	CG_DRAW_ACTIVE_FRAME,
	CG_CROSSHAIR_PLAYER,
	CG_LAST_ATTACKER,
	CG_KEY_EVENT,
	CG_MOUSE_EVENT,
	CG_EVENT_HANDLING
} cgameExport_t;

/* Engine calls, resolved by cg_syscalls.asm. */
void	trap_Print( const char *text );
void	trap_Error( const char *text );
int		trap_Milliseconds( void );

extern int	cg_frames;
