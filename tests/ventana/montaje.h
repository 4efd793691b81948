// Apoyo de las pruebas de la ventana: una Interfaz falsa que responde a los diálogos sin
// mostrarlos y apunta lo que se le pide, y una ventana montada sobre ella en una carpeta
// temporal que hace de prefijo de Wine.
#pragma once

#include <QCoreApplication>
#include <cstdlib>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ejecuciones/ejecuciones.h"
#include "app/mainform.h"
#include "tests/apoyo/apoyo.h"

namespace tts::prueba {

class InterfazFalsa : public Interfaz {
 public:
  std::deque<std::optional<std::string>> respuestas;  // lo que "elige" el usuario; vacío: cancela
  int dialogos = 0;
  std::vector<std::string> mensajes;
  std::vector<std::string> errores;
  std::vector<bool> cursores;
  int cierres = 0;
  QWidget* ventana = nullptr;

  std::optional<std::string> pedir_archivo() override {
    ++dialogos;
    if (respuestas.empty()) return std::nullopt;
    auto respuesta = respuestas.front();
    respuestas.pop_front();
    return respuesta;
  }
  void mensaje(std::string_view texto, const Informe*) override { mensajes.emplace_back(texto); }
  void error(std::string_view texto, const Informe*) override { errores.emplace_back(texto); }
  void cursor_espera(bool activo) override { cursores.push_back(activo); }
  void cerrar_ventana() override {
    ++cierres;
    if (ventana != nullptr) ventana->close();
  }
};

// Atiende lo pendiente (la ejecución que el evento de mostrar deja en cola, entre otros).
inline void atender() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

struct Montaje {
  CarpetaTemporal carpeta;  // el prefijo de Wine y la carpeta del programa
  Estado estado;
  InterfazFalsa interfaz;
  std::vector<std::string> ejecutadas;  // con ejecuciones falsas: "exportar" / "importar"
  int terminaciones = 0;
  std::vector<PeticionAyuda> ayudas;
  std::unique_ptr<TMForm> ventana;

  std::filesystem::path bandera() const { return carpeta / "Tamsel.ini"; }
  std::filesystem::path trabajo() const { return carpeta / "drive_c" / "QTEMP"; }

  // Crea la ventana con esos argumentos; con reales, detrás están las ejecuciones de
  // verdad; si no, unas que sólo apuntan cuál se pidió y acaban bien.
  void crear(std::vector<std::string> argumentos, bool reales) {
    setenv("WINEPREFIX", carpeta.ruta().c_str(), 1);
    Entorno entorno;
    entorno.argumentos = std::move(argumentos);
    entorno.bandera = bandera();
    entorno.terminar = [this] { ++terminaciones; };
    entorno.abrir_ayuda = [this](const PeticionAyuda& p) { ayudas.push_back(p); };
    if (!reales) {
      entorno.ejecutar = [this](bool exportar) {
        ejecutadas.emplace_back(exportar ? "exportar" : "importar");
        return Final::finalizado;
      };
    }
    ventana = std::make_unique<TMForm>(estado, interfaz, std::move(entorno));
    interfaz.ventana = ventana.get();
  }

  void mostrar() {
    ventana->show();
    atender();
  }
};

}  // namespace tts::prueba
