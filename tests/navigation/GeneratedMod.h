// A game module tree of the engine's shape, generated: the three modules (game, cgame, ui) with
// their projects and workspace, the VM's own C library header standing in for the host's,
// headers that need the headers before them, code that only compiles with the module's define,
// and code that needs the VM's 32-bit pointers.
#pragma once

#include "TempDir.h"

#include <string>

namespace generated_mod {

inline const char* const kSharedHeader = R"(#ifndef Q_SHARED_H
#define Q_SHARED_H
#ifdef Q3_VM
#include "../game/bg_lib.h"
typedef int intptr_t;
#else
#include <stdio.h>
#include <string.h>
#endif
typedef unsigned char byte;
typedef enum { qfalse, qtrue } qboolean;
typedef float vec_t;
typedef vec_t vec3_t[3];
#define MAX_QPATH 64
#define VectorCopy( a, b ) ( ( b )[0] = ( a )[0], ( b )[1] = ( a )[1], ( b )[2] = ( a )[2] )
void Com_sprintf( char *dest, int size, const char *fmt, ... );
void Q_strncpyz( char *dest, const char *src, int destsize );
char *va( char *format, ... );
#endif
)";

inline const char* const kLibraryHeader = R"(/* the C library of the virtual machine */
typedef int size_t;
typedef char *va_list;
#define _INTSIZEOF( n ) ( ( sizeof( n ) + sizeof( int ) - 1 ) & ~( sizeof( int ) - 1 ) )
#define va_start( ap, v ) ( ap = (va_list)&v + _INTSIZEOF( v ) )
#define va_arg( ap, t ) ( *(t *)( ( ap += _INTSIZEOF( t ) ) - _INTSIZEOF( t ) ) )
#define va_end( ap ) ( ap = (va_list)0 )
#define NULL ( (void *)0 )
size_t strlen( const char *string );
char *strcpy( char *strDestination, const char *strSource );
int strcmp( const char *string1, const char *string2 );
void *memset( void *dest, int c, size_t count );
void *memcpy( void *dest, const void *src, size_t count );
int vsprintf( char *buffer, const char *fmt, va_list argptr );
double sqrt( double x );
int abs( int n );
)";

inline const char* const kLibrarySource = R"(#include "../qcommon/q_shared.h"

size_t strlen( const char *string ) {
	const char *s = string;
	while ( *s ) {
		s++;
	}
	return s - string;
}

void *memset( void *dest, int c, size_t count ) {
	while ( count-- ) {
		( (char *)dest )[count] = c;
	}
	return dest;
}

void *memcpy( void *dest, const void *src, size_t count ) {
	while ( count-- ) {
		( (char *)dest )[count] = ( (const char *)src )[count];
	}
	return dest;
}

int abs( int n ) { return n < 0 ? -n : n; }

void Com_sprintf( char *dest, int size, const char *fmt, ... ) {
	va_list argptr;
	va_start( argptr, fmt );
	if ( size > 0 ) {
		vsprintf( dest, fmt, argptr );
	}
	va_end( argptr );
}
)";

// No include guard, and it needs q_shared.h before it, as the engine's own.
inline const char* const kPublicHeader = R"(#if defined( QAGAME )
#define MODULE_NAME "game"
#elif defined( CGAME )
#define MODULE_NAME "cgame"
#elif defined( UI )
#define MODULE_NAME "ui"
#else
#error "which module is this?"
#endif
/* pointers are ints on the virtual machine */
typedef char vmPointerIsInt[ sizeof( void * ) == sizeof( int ) ? 1 : -1 ];
typedef struct playerState_s {
	int commandTime;
	vec3_t origin;
	vec3_t velocity;
	int stats[16];
} playerState_t;
)";

inline std::string ModuleHeader(const std::string& module) {
  return "#include \"../qcommon/q_shared.h\"\n#include \"../game/bg_public.h\"\n"
         "typedef struct " +
         module + "Entity_s " + module +
         "Entity_t;\n"
         "struct " +
         module +
         "Entity_s {\n\tint number;\n\tplayerState_t ps;\n\tchar *classname;\n"
         "\tfloat speed;\n\t" +
         module + "Entity_t *target;\n\tvoid (*think)( " + module +
         "Entity_t *self );\n};\n"
         "#define FOFS( x ) ( (size_t)&( ( (" +
         module +
         "Entity_t *)0 )->x ) )\n"
         "typedef struct {\n\tchar *name;\n\tsize_t ofs;\n} field_t;\n"
         "void " +
         module + "_Printf( const char *fmt, ... );\n";
}

inline std::string ModuleSource(const std::string& module, int number) {
  const std::string n = std::to_string(number), type = module + "Entity_t";
  return "#include \"" + module +
         "_local.h\"\n\n"
         "static field_t fields" +
         n +
         "[] = {\n\t{ \"classname\", FOFS( classname ) },\n"
         "\t{ \"speed\", FOFS( speed ) },\n\t{ NULL, 0 }\n};\n\n"
         "int " +
         module + "_Think" + n + "( " + type +
         " *ent ) {\n"
         "\tint i;\n\tbyte *base = (byte *)ent;\n"
         "\tfor ( i = 0; fields" +
         n + "[i].name; i++ ) {\n\t\t*(int *)( base + fields" + n +
         "[i].ofs ) = 0;\n\t}\n"
         "\tVectorCopy( ent->ps.origin, ent->ps.velocity );\n"
         "\tent->ps.stats[0] = (int)ent->classname;\n"
         "\tif ( ent->target && strlen( ent->classname ) < MAX_QPATH ) {\n"
         "\t\t" +
         module +
         "_Printf( \"%s %d\\n\", MODULE_NAME, ent->target->number );\n\t}\n"
         "\treturn abs( ent->number );\n}\n";
}

inline std::string ProjectFile(const std::vector<std::string>& sources) {
  std::string text;
  for (const std::string& source : sources)
    text += "SOURCE=" + source + "\r\n";
  return text;
}

// Writes the tree into `dir` with `sourcesPerModule` sources in each module; the workspace's path.
inline std::string Write(const TempDir& dir, int sourcesPerModule) {
  dir.write("qcommon/q_shared.h", kSharedHeader);
  dir.write("game/bg_lib.h", kLibraryHeader);
  dir.write("game/bg_lib.c", kLibrarySource);
  dir.write("game/bg_public.h", kPublicHeader);
  std::string workspace;
  for (const auto& [module, project] :
       {std::pair<std::string, std::string>{"g", "qagame"}, {"cg", "cgame"}, {"ui", "ui"}}) {
    const std::string folder = module == "g" ? "game" : module == "cg" ? "cgame" : "ui";
    dir.write(folder + "/" + module + "_local.h", ModuleHeader(module));
    std::vector<std::string> sources{"..\\game\\bg_lib.c", module + "_local.h"};
    std::string printf =
        "#include \"" + module + "_local.h\"\nvoid " + module +
        "_Printf( const char *fmt, ... ) {\n\tva_list argptr;\n\tchar text[1024];\n"
        "\tva_start( argptr, fmt );\n\tvsprintf( text, fmt, argptr );\n\tva_end( argptr );\n}\n";
    dir.write(folder + "/" + module + "_main.c", printf);
    sources.push_back(module + "_main.c");
    for (int i = 0; i < sourcesPerModule; ++i) {
      const std::string name = module + "_part" + std::to_string(i) + ".c";
      dir.write(folder + "/" + name, ModuleSource(module, i));
      sources.push_back(name);
    }
    dir.write(folder + "/" + folder + ".tsp", ProjectFile(sources));
    workspace += "Project: \"" + project + "\"=" + folder + "\\" + folder + ".tsp - Package Owner=<4>\r\n";
  }
  return dir.write("mod.tsw", workspace);
}

} // namespace generated_mod
