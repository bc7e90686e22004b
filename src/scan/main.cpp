#include <iostream>

int main() {
  std::cerr << "orvalen-scan: not built yet\n";
  return 1;
}
