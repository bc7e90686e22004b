#include <iostream>

int main() {
  std::cerr << "orvalen-import: not built yet\n";
  return 1;
}
