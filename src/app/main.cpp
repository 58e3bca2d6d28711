// Orvane's batch entry point; the listing itself is wired up in app/batch.cpp.
#include <cstdio>

int main(int, char**) {
  std::fputs("orvane: the listing engine is not built yet\n", stderr);
  return 2;
}
