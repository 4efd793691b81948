// La carpeta de trabajo y las rutas de Windows. El programa de horarios y esta utilidad
// comparten la carpeta "C:\QTEMP". En Windows las rutas se usan tal cual; en POSIX se
// resuelven como las resuelve Wine, para que ambos programas vean la misma carpeta.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tables/tabla.h"

namespace tts {

inline constexpr std::string_view kCarpetaTrabajo = "C:\\QTEMP";

// "C:\X\Y" -> $WINEPREFIX/drive_c/X/Y (WINEPREFIX, por defecto ~/.wine); "\X\Y" (desde la
// raíz de la unidad actual) -> la unidad c:. Cada componente se busca sin distinguir
// mayúsculas entre las entradas que existen; si no existe ninguna, queda como se dio.
std::filesystem::path resolver_ruta_windows(std::string_view ruta);

// El archivo de la tabla (nombre sin extensión + ".DBF" / ".MDX") en una carpeta, buscando
// sin distinguir mayúsculas la entrada que ya exista.
std::filesystem::path archivo_tabla(const std::filesystem::path& carpeta, std::string_view tabla);
std::filesystem::path archivo_indice(const std::filesystem::path& carpeta, std::string_view tabla);

// El procedimiento de tabla nueva: borra T.DBF y T.MDX de la carpeta si existen (Error si
// otro programa los tiene abiertos) y crea la tabla vacía con esos campos e índices.
// Error que nombra la carpeta si ésta no existe.
void tabla_nueva(const std::filesystem::path& carpeta, std::string_view tabla,
                 std::span<const DefinicionCampo> campos, std::span<const DefinicionIndice> indices = {});

// La preparación de la exportación: las tablas se construyen en una carpeta dentro de la
// carpeta de trabajo y sólo sustituyen a las vivas cuando todos los pasos han ido bien.
// Al crearla se borra la que hubiera dejado una ejecución interrumpida. Si no se confirma,
// el destructor la borra y las tablas vivas quedan como estaban.
class Preparacion {
 public:
  explicit Preparacion(const std::filesystem::path& carpeta_trabajo);  // Error si la carpeta no existe
  ~Preparacion();
  Preparacion(const Preparacion&) = delete;
  Preparacion& operator=(const Preparacion&) = delete;

  const std::filesystem::path& carpeta() const { return preparacion_; }

  // Comprueba que ningún archivo vivo que se va a sustituir lo tenga abierto otro programa
  // (Error, antes de tocar nada), mueve cada archivo preparado sobre su nombre vivo (y borra
  // el .MDX vivo de las tablas que no tienen), y borra la carpeta de preparación.
  void confirmar(std::span<const std::string> tablas);

 private:
  std::filesystem::path trabajo_;
  std::filesystem::path preparacion_;
  bool confirmada_ = false;
};

}  // namespace tts
