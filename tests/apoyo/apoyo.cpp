#include "tests/apoyo/apoyo.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace tts::prueba {

namespace fs = std::filesystem;

CarpetaTemporal::CarpetaTemporal() {
  std::string plantilla = (fs::temp_directory_path() / "tts-prueba-XXXXXX").string();
  if (mkdtemp(plantilla.data()) == nullptr) throw std::runtime_error("mkdtemp falló");
  ruta_ = plantilla;
}

CarpetaTemporal::~CarpetaTemporal() {
  std::error_code ec;
  // Devuelve permisos por si una prueba quitó alguno, y borra.
  for (auto it = fs::recursive_directory_iterator(ruta_, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::permissions(ruta_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(ruta_, ec);
}

std::string leer_archivo(const fs::path& ruta) {
  std::ifstream f(ruta, std::ios::binary);
  if (!f) throw std::runtime_error("no se puede leer " + ruta.string());
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void escribir_archivo(const fs::path& ruta, std::string_view contenido) {
  std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
  if (!f) throw std::runtime_error("no se puede escribir " + ruta.string());
  f.write(contenido.data(), static_cast<std::streamsize>(contenido.size()));
}

std::string comillas(std::string_view texto) {
  std::string s = "'";
  for (char c : texto) {
    if (c == '\'') s += "'\\''";
    else s += c;
  }
  return s + "'";
}

Salida ejecutar(const std::string& orden) {
  CarpetaTemporal tmp;
  const auto out = tmp / "salida";
  const auto err = tmp / "errores";
  const std::string completa = "( " + orden + " ) </dev/null >" + comillas(out.string()) + " 2>" + comillas(err.string());
  const int estado = std::system(completa.c_str());
  Salida s;
  s.codigo = (estado != -1 && WIFEXITED(estado)) ? WEXITSTATUS(estado) : -1;
  s.texto = leer_archivo(out);
  s.errores = leer_archivo(err);
  return s;
}

Salida python(const std::string& programa, const std::string& argumentos) {
  CarpetaTemporal tmp;
  const auto guion = tmp / "guion.py";
  escribir_archivo(guion, programa);
  return ejecutar(std::string(TTS_PYTHON) + " " + comillas(guion.string()) + " " + argumentos);
}

fs::path fixture(std::string_view relativa) { return fs::path(TTS_DIR_FIXTURES) / relativa; }
fs::path fuente(std::string_view relativa) { return fs::path(TTS_DIR_FUENTE) / relativa; }
fs::path binario(std::string_view relativa) { return fs::path(TTS_DIR_BINARIOS) / relativa; }

}  // namespace tts::prueba
