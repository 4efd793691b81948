// InterfazQt: el puerto de las ejecuciones sobre Qt. El diálogo "Archivo XML", los mensajes
// con el título de la aplicación (el informe de la ejecución va en sus detalles), el parte
// de error y el cursor de espera de toda la aplicación.
#pragma once

#include <QPointer>
#include <QWidget>

#include "app/ejecuciones/interfaz.h"

namespace tts {

inline constexpr std::string_view kTituloDialogo = "Archivo XML";
inline constexpr std::string_view kCarpetaDialogo = "c:\\qtemp\\sauce";

class InterfazQt : public Interfaz {
 public:
  ~InterfazQt() override;

  // La ventana principal: padre de los diálogos y la que cierra cerrar_ventana.
  void poner_ventana(QWidget* ventana) { ventana_ = ventana; }

  std::optional<std::string> pedir_archivo() override;
  void mensaje(std::string_view texto, const Informe* informe) override;
  void error(std::string_view texto, const Informe* informe) override;
  void cursor_espera(bool activo) override;
  void cerrar_ventana() override;

 private:
  QPointer<QWidget> ventana_;
  bool espera_ = false;
};

}  // namespace tts
