#include "app/ejecuciones/ejecuciones.h"

#include <exception>
#include <system_error>

#include "comun/error.h"
#include "export/exportacion.h"
#include "import/importacion.h"
#include "tables/carpeta.h"

namespace tts {
namespace fs = std::filesystem;

namespace {

// Cursor de espera mientras vive; el normal vuelve en todo final, también con error.
class CursorEspera {
 public:
  explicit CursorEspera(Interfaz& i) : i_(i) { i_.cursor_espera(true); }
  ~CursorEspera() { soltar(); }
  CursorEspera(const CursorEspera&) = delete;
  CursorEspera& operator=(const CursorEspera&) = delete;
  void soltar() {
    if (activo_) {
      activo_ = false;
      i_.cursor_espera(false);
    }
  }

 private:
  Interfaz& i_;
  bool activo_ = true;
};

bool existe_archivo(const std::string& ruta) {
  if (ruta.empty()) return false;
  std::error_code ec;
  return fs::is_regular_file(fs::path(ruta), ec);
}

}  // namespace

// Pasos comunes al principio de las dos ejecuciones: el diálogo y la comprobación del
// archivo. Devuelve falso si la ejecución acaba ahí, con "No existe archivo".
static bool elegir_archivo(Estado& estado, Interfaz& interfaz) {
  if (auto elegido = interfaz.pedir_archivo()) estado.ArchivoXML = *elegido;
  if (existe_archivo(estado.ArchivoXML)) return true;
  interfaz.mensaje(kNoExisteArchivo, nullptr);
  if (estado.ModoAnfitrion == 2) {
    estado.ResultadoTransformacion = -1;
    interfaz.cerrar_ventana();
  }
  return false;
}

// Final correcto de las dos ejecuciones.
static Final finalizar(Estado& estado, Interfaz& interfaz, const Informe& informe) {
  estado.ResultadoTransformacion = 1;
  interfaz.mensaje(kProcesoFinalizado, &informe);
  if (estado.ModoAnfitrion == 2) interfaz.cerrar_ventana();
  return Final::finalizado;
}

// Un error acaba la ejecución: se muestra y no cambia nada más.
template <class Trabajo>
static Final con_parte_de_error(Interfaz& interfaz, Informe& informe, Trabajo&& trabajo) {
  try {
    return trabajo();
  } catch (const Error& e) {
    interfaz.error(e.what(), &informe);
  } catch (const fs::filesystem_error& e) {
    interfaz.error("Error del sistema de archivos: " + std::string(e.what()), &informe);
  } catch (const std::bad_alloc&) {
    interfaz.error("No hay memoria suficiente para terminar el proceso.", &informe);
  } catch (const std::exception& e) {
    interfaz.error("Error inesperado: " + std::string(e.what()), &informe);
  }
  return Final::error;
}

Final Ejecuciones::BExportarClick() {
  ultimo_informe = Informe{};
  ultimo_resultado.clear();
  if (!elegir_archivo(estado, interfaz)) return Final::sin_archivo;
  Informe& informe = ultimo_informe;
  return con_parte_de_error(interfaz, informe, [&] {
    estado.DocumentoXML = std::make_unique<Documento>();
    estado.DocumentoXML->cargar(fs::path(estado.ArchivoXML));
    CursorEspera cursor(interfaz);
    {
      // Los componentes se cierran antes de que se borre la carpeta de preparación.
      Preparacion preparacion(carpeta);
      CierreComponentes cierre(estado.componentes);
      ContextoExportacion ctx(*estado.DocumentoXML, preparacion.carpeta(), informe, estado.componentes);
      exportar_todo(ctx);
      preparacion.confirmar(std::vector<std::string>(std::begin(kTablasExportacion), std::end(kTablasExportacion)));
    }
    informe.informa("Tablas escritas en " + carpeta.string());
    cursor.soltar();
    return finalizar(estado, interfaz, informe);
  });
}

Final Ejecuciones::BImportarClick() {
  ultimo_informe = Informe{};
  ultimo_resultado.clear();
  if (!elegir_archivo(estado, interfaz)) return Final::sin_archivo;
  Informe& informe = ultimo_informe;
  return con_parte_de_error(interfaz, informe, [&] {
    CursorEspera cursor(interfaz);
    ResultadoImportacion resultado;
    {
      Componentes& c = estado.componentes;
      CierreComponentes cierre(c);
      c.abrir_todos(carpeta);
      estado.DocumentoXML = std::make_unique<Documento>();
      estado.DocumentoXML->cargar(fs::path(estado.ArchivoXML));
      resultado = importar(*estado.DocumentoXML, c, fs::path(estado.ArchivoXML), informe, reloj());
    }
    ultimo_resultado = resultado.archivo;  // el informe de importar ya lo nombra
    cursor.soltar();
    return finalizar(estado, interfaz, informe);
  });
}

}  // namespace tts
