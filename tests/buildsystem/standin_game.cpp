// A stand-in for the game and its dedicated server: prints as the engine does (colour codes,
// the server's and the game module's start, errors), names the module it loads with a checksum of
// its bytes, and takes console commands on standard input: "map NAME" starts the map again (and
// so loads the module again), "quit" ends it, "error TEXT" and "print TEXT" print, "crash" dies by
// SIGSEGV, "spawn" starts a child that sleeps until killed, "lines N" prints N numbered lines.
// The end of its input does not end it, as it does not end the engine.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <unistd.h>

namespace {

std::map<std::string, std::string> variables;

std::string ModulePath() {
  const std::string home = variables["fs_homepath"];
  const std::string mod = variables.count("fs_game") != 0 ? variables["fs_game"] : "baseq3";
  return home.empty() ? std::string() : home + "/" + mod + "/vm/qagame.qvm";
}

void LoadMap(const std::string& map) {
  std::printf("------ Server Initialization ------\nServer: %s\n", map.c_str());
  std::printf("------- Game Initialization -------\n^3gamename: ^7standin\n");
  const std::string path = ModulePath();
  if (!path.empty()) {
    std::ifstream module(path, std::ios::binary);
    if (!module) {
      std::fprintf(stderr, "^1ERROR: ^7VM_Create on game failed: %s not found\n", path.c_str());
    } else {
      const std::string bytes((std::istreambuf_iterator<char>(module)), std::istreambuf_iterator<char>());
      unsigned long sum = 5381;
      for (unsigned char c : bytes)
        sum = sum * 33 + c;
      std::printf("Loading vm file %s: %zu bytes, checksum %lu\n", path.c_str(), bytes.size(), sum);
    }
  }
  std::printf("InitGame: \\mapname\\%s\n", map.c_str());
  std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "+set" && i + 2 < argc) {
      variables[argv[i + 1]] = argv[i + 2];
      i += 2;
    } else if (word == "+map" && i + 1 < argc) {
      variables["map"] = argv[++i];
    }
  }
  std::printf("^2Stand-in game^7 1.0 %s\n", variables["dedicated"] == "1" ? "dedicated" : "client");
  std::fflush(stdout);
  if (!variables["map"].empty()) LoadMap(variables["map"]);
  std::string command;
  while (std::getline(std::cin, command)) {
    std::printf("command: %s\n", command.c_str());
    if (command.rfind("map ", 0) == 0) {
      LoadMap(command.substr(4));
    } else if (command == "quit") {
      std::printf("----- Server Shutdown (Server quit) -----\n");
      return 0;
    } else if (command.rfind("error ", 0) == 0) {
      std::fprintf(stderr, "^1ERROR: %s\n", command.substr(6).c_str());
    } else if (command.rfind("print ", 0) == 0) {
      std::printf("%s\n", command.substr(6).c_str());
    } else if (command == "crash") {
      std::fflush(stdout);
      std::raise(SIGSEGV);
    } else if (command == "spawn") {
      const pid_t child = ::fork();
      if (child == 0) {
        for (;;)
          ::pause();
      }
      std::printf("child: %d\n", static_cast<int>(child));
    } else if (command.rfind("lines ", 0) == 0) {
      const long count = std::atol(command.c_str() + 6);
      for (long n = 1; n <= count; ++n)
        std::printf("line %ld\n", n);
    }
    std::fflush(stdout);
  }
  for (;;)
    ::pause();
}
