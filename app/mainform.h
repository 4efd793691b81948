// TMForm: la ventana principal MForm. Sólo construye sus controles y los une a sus acciones:
// las dos ejecuciones (Ejecuciones, sin Qt), la ayuda, la entrega con el anfitrión
// (app/anfitrion.h) y la bandera del resultado (app/bandera.h). Habla con el usuario por la
// Interfaz que recibe, que las pruebas sustituyen.
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ayuda.h"
#include "app/ejecuciones/ejecuciones.h"

class QLabel;
class QPushButton;
class QSocketNotifier;
class QWindow;

namespace tts {

class ConexionX11;
class Draw3D;

inline constexpr std::string_view kTituloVentana = "Exportar e importar datos entre Tamsel y Brelova";

// Lo que la ventana toma de fuera; el arranque lo llena y las pruebas lo cambian.
struct Entorno {
  std::vector<std::string> argumentos;  // sin el nombre del programa
  std::filesystem::path bandera;        // el Tamsel.ini que se escribe en modo anfitrión
  // Acaba el proceso tras FormClose en modo anfitrión: una ventana metida en otra sólo se
  // oculta al cerrarse.
  std::function<void()> terminar;
  // Abre un archivo de ayuda que existe con el programa del escritorio.
  std::function<void(const PeticionAyuda&)> abrir_ayuda;
  // Sustituye a las ejecuciones de verdad (true: exportación); vacío en el programa.
  std::function<Final(bool exportar)> ejecutar;
};

class TMForm : public QWidget {
  Q_OBJECT

 public:
  TMForm(Estado& estado, Interfaz& interfaz, Entorno entorno, QWidget* padre = nullptr);
  ~TMForm() override;

  // Las acciones de los botones.
  Final BExportarClick();
  Final BImportarClick();
  void Button1Click();
  // La ayuda de un contexto (F1).
  void ayuda(int contexto);

  // Si la ventana quedó dentro de la ventana anfitriona.
  bool incrustada() const { return anfitrion_ != nullptr; }

 protected:
  void showEvent(QShowEvent* evento) override;
  void closeEvent(QCloseEvent* evento) override;

 private:
  void crear_controles();
  void centrar();
  void FormCreate();
  void FormShow();
  bool FormClose();
  void incrustar(std::uint32_t manejador);
  void vigilar_anfitrion();
  Final ejecutar(bool exportar);

  Estado& estado_;
  Interfaz& interfaz_;
  Entorno entorno_;
  bool mostrada_ = false;
  bool terminada_ = false;

  std::unique_ptr<ConexionX11> x11_;
  std::unique_ptr<QWindow> anfitrion_;
  QPointer<QSocketNotifier> avisos_;
};

}  // namespace tts
