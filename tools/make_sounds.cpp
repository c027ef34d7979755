// PLACEHOLDER: wave generator (being written).
#include <fstream>
#include <string>
int main(int argc, char** argv) {
  if (argc < 2) return 2;
  for (const char* n : {"その他.wav", "禁止.wav", "選択.wav", "駒打音.wav", "BGM.wav"})
    std::ofstream(std::string(argv[1]) + "/" + n);
  return 0;
}
