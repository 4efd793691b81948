// La hora local de un instante, igual en POSIX y en Windows.
#pragma once

#include <ctime>

namespace tts {

inline std::tm hora_local(std::time_t t) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  return local;
}

}  // namespace tts
