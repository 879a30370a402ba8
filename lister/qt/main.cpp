// Trovanta: lists one of the game's archive files in a window.
#include "lister/qt/start_up.h"

int main(int argc, char** argv) {
  return lister::window::RunTrovanta(argc, argv);
}
