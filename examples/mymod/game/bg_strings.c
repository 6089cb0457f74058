/*
 * mymod: small string helpers, written out because a game module has no C library.
 */
#include "bg_mymod.h"

void BG_CopyString( char *dest, const char *src, int size ) {
	int i;

	if ( size <= 0 ) {
		return;
	}
	for ( i = 0; i < size - 1 && src[i]; i++ ) {
		dest[i] = src[i];
	}
	dest[i] = 0;
}

void BG_AppendString( char *dest, const char *src, int size ) {
	int length;

	length = 0;
	while ( length < size && dest[length] ) {
		length++;
	}
	BG_CopyString( dest + length, src, size - length );
}

void BG_IntegerToString( char *dest, int value, int size ) {
	char digits[16];
	int count;
	int negative;
	int i;

	negative = value < 0;
	if ( negative ) {
		value = -value;
	}
	count = 0;
	do {
		digits[count++] = (char)( '0' + value % 10 );
		value /= 10;
	} while ( value > 0 && count < 15 );

	i = 0;
	if ( negative && i < size - 1 ) {
		dest[i++] = '-';
	}
	while ( count > 0 && i < size - 1 ) {
		dest[i++] = digits[--count];
	}
	if ( size > 0 ) {
		dest[i] = 0;
	}
}
