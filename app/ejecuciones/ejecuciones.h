// Las dos ejecuciones, sin Qt: la exportación (BExportarClick) y la importación
// (BImportarClick), con el estado que comparten durante todo el proceso. Hablan con el
// usuario sólo por Interfaz; un Error dentro de una ejecución se muestra por
// Interfaz::error y la ejecución acaba sin tocar más (ResultadoTransformacion conserva su
// valor y, en modo anfitrión, la ventana sigue abierta).
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/ejecuciones/interfaz.h"
#include "comun/informe.h"
#include "tables/componentes.h"
#include "xml/documento.h"

namespace tts {

inline constexpr std::string_view kTituloAplicacion = "TransTamsoBrelova";
inline constexpr std::string_view kNoExisteArchivo = "No existe archivo";
inline constexpr std::string_view kProcesoFinalizado = "Proceso finalizado";

// El estado del proceso.
struct Estado {
  std::string ArchivoXML;                 // ruta del último archivo confirmado (ambas ejecuciones)
  std::unique_ptr<Documento> DocumentoXML;  // el documento de la última ejecución
  int ModoAnfitrion = 0;                  // 2 en modo anfitrión
  int ResultadoTransformacion = 0;        // 0, 1 o -1
  Componentes componentes;                // los ocho componentes de tabla persistentes
};

// Cómo acabó una ejecución.
enum class Final { finalizado, sin_archivo, error };

struct Ejecuciones {
  Ejecuciones(Estado& e, Interfaz& i, std::filesystem::path c) : estado(e), interfaz(i), carpeta(std::move(c)) {}

  Estado& estado;
  Interfaz& interfaz;
  std::filesystem::path carpeta;  // la carpeta de trabajo ya resuelta
  // El reloj del sello de tiempo del resultado (las pruebas lo fijan).
  std::function<std::chrono::system_clock::time_point()> reloj = [] { return std::chrono::system_clock::now(); };

  Final BExportarClick();
  Final BImportarClick();

  // Informe y ruta del resultado de la última ejecución (la línea de órdenes los imprime).
  Informe ultimo_informe;
  std::filesystem::path ultimo_resultado;
};

}  // namespace tts
