// Apoyo común de las pruebas: carpetas temporales, archivos, órdenes externas y rutas.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "comun/error.h"

namespace tts::prueba {

// Una carpeta temporal nueva, que se borra con todo su contenido al destruirse.
class CarpetaTemporal {
 public:
  CarpetaTemporal();
  ~CarpetaTemporal();
  CarpetaTemporal(const CarpetaTemporal&) = delete;
  CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;
  const std::filesystem::path& ruta() const { return ruta_; }
  std::filesystem::path operator/(std::string_view nombre) const { return ruta_ / nombre; }

 private:
  std::filesystem::path ruta_;
};

std::string leer_archivo(const std::filesystem::path& ruta);
void escribir_archivo(const std::filesystem::path& ruta, std::string_view contenido);

struct Salida {
  int codigo = -1;     // código de salida de la orden
  std::string texto;   // su salida estándar
  std::string errores; // su salida de errores
};
// Ejecuta una orden de la shell (sin entrada estándar) y recoge su salida.
Salida ejecutar(const std::string& orden);

// Ejecuta un programa de Python 3 del sistema (el que tiene dbfread y dbf) con argumentos
// ya entrecomillados.
Salida python(const std::string& programa, const std::string& argumentos = "");

// Entrecomillado para la shell.
std::string comillas(std::string_view texto);

std::filesystem::path fixture(std::string_view relativa);  // tests/fixtures/<relativa>
std::filesystem::path fuente(std::string_view relativa);   // raíz del proyecto/<relativa>
std::filesystem::path binario(std::string_view relativa);  // carpeta de construcción/<relativa>

// El mensaje del Error que lanza f, o "" si no lanza.
template <class F>
std::string mensaje_de(F&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

}  // namespace tts::prueba
