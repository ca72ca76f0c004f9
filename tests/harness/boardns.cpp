// boardns: runs a command inside a private copy of the board's world.
//
//   boardns [--mem] [--file PATH=TEXT]... [--remove PATH]... [--bind SRC=DST]...
//           [--tmp DIR] -- command [args...]
//
// --mem binds a sparse stand-in over /dev/mem; --tmp DIR shows DIR as /tmp so
// the caller can reach the program's pipes and markers from outside.
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "sandbox.h"

static void usage() {
  fputs("usage: boardns [--mem] [--file PATH=TEXT] [--remove PATH] [--bind SRC=DST] [--tmp DIR] -- command [args...]\n",
        stderr);
  _exit(2);
}

static std::pair<std::string, std::string> splitPair(const char* text) {
  const char* equals = strchr(text, '=');
  if (!equals) usage();
  return {std::string(text, equals), std::string(equals + 1)};
}

int main(int argc, char** argv) {
  int i = 1;
  std::vector<std::pair<std::string, std::string>> files, binds;
  std::vector<std::string> removals;
  std::string tmpDir;
  bool mem = false;
  for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
    std::string option = argv[i];
    if (option == "--mem") {
      mem = true;
    } else if (i + 1 >= argc) {
      usage();
    } else if (option == "--file") {
      files.push_back(splitPair(argv[++i]));
    } else if (option == "--bind") {
      binds.push_back(splitPair(argv[++i]));
    } else if (option == "--remove") {
      removals.push_back(argv[++i]);
    } else if (option == "--tmp") {
      tmpDir = argv[++i];
    } else {
      usage();
    }
  }
  if (i + 1 >= argc) usage();
  char* realTmp = tmpDir.empty() ? nullptr : realpath(tmpDir.c_str(), nullptr);
  if (!tmpDir.empty() && !realTmp) {
    perror(("boardns: " + tmpDir).c_str());
    return 111;
  }

  sandbox::enterPrivateBoard();
  if (mem) sandbox::provideDevMem();
  for (auto& [path, text] : files) sandbox::writeFile(path, text);
  for (auto& path : removals) sandbox::removePath(path);
  for (auto& [source, target] : binds) sandbox::bindOver(source, target);
  // Last, so the overlays set up above keep their layers in the private tmpfs.
  if (realTmp) sandbox::bindOver(realTmp, "/tmp");

  execvp(argv[i + 1], argv + i + 1);
  perror(("boardns: " + std::string(argv[i + 1])).c_str());
  return 127;
}
