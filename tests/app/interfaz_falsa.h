// Interfaz de prueba: contesta al diálogo con lo que se le dé y apunta todo lo demás.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/ejecuciones/interfaz.h"
#include "comun/informe.h"

namespace tts::prueba {

class InterfazFalsa : public Interfaz {
 public:
  std::deque<std::optional<std::string>> respuestas;  // una por diálogo; vacía: cancelar
  std::vector<std::string> mensajes;
  std::vector<std::string> errores;
  std::string ultimo_informe;
  int cursor = 0;          // veces en espera menos veces devuelto
  int cursores_espera = 0; // veces que se pidió el de espera
  int cierres = 0;

  std::optional<std::string> pedir_archivo() override {
    if (respuestas.empty()) return std::nullopt;
    auto r = respuestas.front();
    respuestas.pop_front();
    return r;
  }
  void mensaje(std::string_view texto, const Informe* informe) override {
    mensajes.emplace_back(texto);
    if (informe) ultimo_informe = informe->texto();
  }
  void error(std::string_view texto, const Informe* informe) override {
    errores.emplace_back(texto);
    if (informe) ultimo_informe = informe->texto();
  }
  void cursor_espera(bool activo) override {
    cursor += activo ? 1 : -1;
    if (activo) ++cursores_espera;
  }
  void cerrar_ventana() override { ++cierres; }
};

}  // namespace tts::prueba
