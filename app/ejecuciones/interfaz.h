// Interfaz: el puerto por el que las dos ejecuciones hablan con el usuario. Cada frontal
// (la ventana, la línea de órdenes, las pruebas) da el suyo.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tts {

class Informe;

class Interfaz {
 public:
  virtual ~Interfaz() = default;

  // El diálogo "Archivo XML": la ruta completa elegida, o nada si se cancela.
  virtual std::optional<std::string> pedir_archivo() = 0;
  // Un mensaje modal con el título de la aplicación ("No existe archivo", "Proceso
  // finalizado"); informe, si lo hay, son sus detalles.
  virtual void mensaje(std::string_view texto, const Informe* informe) = 0;
  // El parte de error de la plataforma: el texto del error con el título como encabezado.
  virtual void error(std::string_view texto, const Informe* informe) = 0;
  // Cursor de espera de toda la aplicación.
  virtual void cursor_espera(bool activo) = 0;
  // Cierra la ventana principal (en modo anfitrión, al acabar una ejecución).
  virtual void cerrar_ventana() = 0;
};

}  // namespace tts
