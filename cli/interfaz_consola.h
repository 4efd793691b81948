// Interfaz de la línea de órdenes: el archivo viene de los argumentos, los mensajes y el
// informe van a la salida estándar y los errores a la de errores.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "app/ejecuciones/interfaz.h"

namespace tts {

class InterfazConsola : public Interfaz {
 public:
  InterfazConsola(std::string archivo, std::ostream& salida, std::ostream& errores)
      : archivo_(std::move(archivo)), salida_(salida), errores_(errores) {}

  std::optional<std::string> pedir_archivo() override { return archivo_; }
  void mensaje(std::string_view texto, const Informe* informe) override;
  void error(std::string_view texto, const Informe* informe) override;
  void cursor_espera(bool) override {}
  void cerrar_ventana() override {}

 private:
  std::string archivo_;
  std::ostream& salida_;
  std::ostream& errores_;
};

}  // namespace tts
