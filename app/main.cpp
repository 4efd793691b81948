// El arranque de la ventana: el título de la aplicación, la ventana principal MForm, que se
// muestra y atiende mensajes hasta que se cierra; entonces el proceso acaba.
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>
#include <QUrl>

#include "app/bandera.h"
#include "app/ejecuciones/ejecuciones.h"
#include "app/interfaz_qt.h"
#include "app/mainform.h"

int main(int argc, char** argv) {
  QApplication aplicacion(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(tts::kTituloAplicacion.data(),
                                                     static_cast<qsizetype>(tts::kTituloAplicacion.size())));

  // La interfaz está en castellano, también la de los diálogos de Qt (si están sus
  // traducciones instaladas).
  QTranslator traduccion;
  if (traduccion.load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&traduccion);
  }

  // Qt ya ha quitado de argv las opciones que son suyas.
  tts::Entorno entorno;
  for (int i = 1; i < argc; ++i) entorno.argumentos.emplace_back(argv[i]);
  entorno.bandera = tts::ruta_bandera(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
  entorno.terminar = [] { QCoreApplication::exit(0); };
  entorno.abrir_ayuda = [](const tts::PeticionAyuda& peticion) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(peticion.archivo.string().c_str())));
  };

  tts::Estado estado;
  tts::InterfazQt interfaz;
  tts::TMForm MForm(estado, interfaz, std::move(entorno));
  interfaz.poner_ventana(&MForm);
  MForm.show();
  return QApplication::exec();
}
