/*
 * mymod: definitions shared by the server game (game) and the client game (cgame).
 */
#ifndef BG_MYMOD_H
#define BG_MYMOD_H

#define MYMOD_VERSION	"mymod 0.1"
#define MAX_TEXT		256

/* Copies src into dest, never writing more than size bytes (including the final NUL). */
void BG_CopyString( char *dest, const char *src, int size );
/* Appends src to dest within size bytes. */
void BG_AppendString( char *dest, const char *src, int size );
/* Writes the decimal form of value into dest. */
void BG_IntegerToString( char *dest, int value, int size );

#endif
