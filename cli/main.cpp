// transtamso: las dos ejecuciones de la utilidad sin ventana.
//
//   transtamso exportar ARCHIVO.xml [--carpeta DIR]
//   transtamso importar ARCHIVO.xml [--carpeta DIR]
//
// Sin --carpeta trabaja en la carpeta de trabajo "C:\QTEMP" (en POSIX, la que Wine le hace
// corresponder). Sale con 0 tras "Proceso finalizado", 3 tras "No existe archivo", 1 tras
// un error de la ejecución y 2 si los argumentos no son válidos.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "app/ejecuciones/ejecuciones.h"
#include "cli/interfaz_consola.h"
#include "comun/error.h"
#include "tables/carpeta.h"

namespace {

constexpr const char* kUso = "Uso: transtamso exportar|importar ARCHIVO.xml [--carpeta DIR]";

int uso_incorrecto(const std::string& que) {
  std::cerr << que << "\n" << kUso << "\nPruebe «transtamso --help» para más información." << std::endl;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  CLI::App app{"Lleva los datos de un centro entre el archivo XML de la administración y las tablas dBase del "
               "programa de horarios.",
               "transtamso"};
  auto formato = app.get_formatter();
  formato->label("Usage", "Uso");
  formato->label("OPTIONS", "OPCIONES");
  formato->label("Options", "Opciones");
  formato->label("SUBCOMMAND", "ORDEN");
  formato->label("SUBCOMMANDS", "ÓRDENES");
  formato->label("Subcommands", "Órdenes");
  formato->label("Positionals", "Argumentos");
  formato->label("REQUIRED", "OBLIGATORIO");
  formato->label("TEXT", "TEXTO");
  app.option_defaults()->group("Opciones");
  app.set_help_flag("-h,--help", "Muestra esta ayuda y termina");
  app.set_version_flag("-V,--version", std::string("transtamso ") + TTS_VERSION, "Muestra la versión y termina");
  app.require_subcommand(1);

  std::string archivo;
  std::string carpeta;
  auto* exportar = app.add_subcommand("exportar", "Del archivo XML de la administración a las tablas de intercambio");
  auto* importar = app.add_subcommand("importar", "De la solución SOLUC y las tablas al XML de resultado");
  for (auto* orden : {exportar, importar}) {
    orden->group("Órdenes");
    orden->option_defaults()->group("Opciones");
    orden->set_help_flag("-h,--help", "Muestra esta ayuda y termina");
    orden->add_option("archivo", archivo, "El archivo XML de la administración")->required()->type_name("ARCHIVO.xml");
    orden->add_option("--carpeta", carpeta, "Carpeta de las tablas (por defecto C:\\QTEMP)")->type_name("DIR");
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::RequiredError&) {
    return uso_incorrecto("Faltan argumentos.");
  } catch (const CLI::ExtrasError&) {
    return uso_incorrecto("Sobran argumentos.");
  } catch (const CLI::ParseError& e) {
    return uso_incorrecto("Argumentos no válidos: " + std::string(e.what()));
  }

  try {
    fs::path destino;
    if (carpeta.empty()) {
      destino = tts::resolver_ruta_windows(tts::kCarpetaTrabajo);
    } else {
      std::error_code ec;
      if (!fs::is_directory(carpeta, ec)) {
        std::cerr << "No existe la carpeta de trabajo '" << carpeta << "'." << std::endl;
        return 1;
      }
      destino = carpeta;
    }
    // La ruta del archivo, completa, como la daría el diálogo.
    std::error_code ec;
    const fs::path absoluto = fs::absolute(archivo, ec);
    tts::InterfazConsola interfaz(ec ? archivo : absoluto.string(), std::cout, std::cerr);
    tts::Estado estado;
    tts::Ejecuciones ejecuciones{estado, interfaz, destino};
    const tts::Final final = exportar->parsed() ? ejecuciones.BExportarClick() : ejecuciones.BImportarClick();
    switch (final) {
      case tts::Final::finalizado: return 0;
      case tts::Final::sin_archivo: return 3;
      case tts::Final::error: return 1;
    }
  } catch (const tts::Error& e) {
    std::cerr << e.what() << std::endl;
  } catch (const std::exception& e) {
    std::cerr << "Error inesperado: " << e.what() << std::endl;
  }
  return 1;
}
