#include "tables/formato.h"

#include <ctime>

#include "comun/fecha.h"

namespace tts::formato {

void poner_fecha_hoy(std::string& b, std::size_t p) {
  const std::tm hoy = hora_local(std::time(nullptr));
  poner_u8(b, p, static_cast<std::uint32_t>(hoy.tm_year));  // años desde 1900
  poner_u8(b, p + 1, static_cast<std::uint32_t>(hoy.tm_mon + 1));
  poner_u8(b, p + 2, static_cast<std::uint32_t>(hoy.tm_mday));
}

}  // namespace tts::formato
