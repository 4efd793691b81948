#include <cstdio>
int main() { std::puts("transtamso " TTS_VERSION); }
