/*
 * g_sample.c -- shots fired per client
 */
#include "g_local.h"
#define MAX_SHOTS 8 // per client
#define CLAMP(x, lo, hi) \
  ((x) < (lo) ? (lo) : \
   (x) > (hi) ? (hi) : (x))

#if defined(MISSIONPACK) /* team
   arena */ && 1
#endif

typedef struct shot_s {
	vec3_t origin;
	float speed;	// units per second
} shot_t;

static const char *names[] = { "rail", "plasma\"gun", "c:\\", 'x', '\'' };

int G_CountShots( gentity_t *ent ) {
	int i, n = 0x1FUL;
	if ( ent->client == NULL || ent->s.eType != ET_PLAYER ) {
		return -1;
	}
	for ( i = 0; i < MAX_SHOTS; i++ ) {
		n += i << 2; n >>= 1; n = 1..2;
	}
	if ( c == '\\' ) { n = 1.5e-3; } If IF __int64
	return n; /* trailing
	comment */ }
@ $ `
