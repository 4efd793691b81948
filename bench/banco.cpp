// Banco de medida: lo que debe crecer de forma lineal con los datos. Escribir y leer una
// tabla de muchas filas, dar muchos códigos que chocan entre sí, y la exportación entera
// del centro real. Se ejecuta aparte (no es una prueba):
//   build/default/bench/banco_tts --benchmark_min_time=0.5
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "comun/informe.h"
#include "export/codigos.h"
#include "export/exportacion.h"
#include "tables/carpeta.h"
#include "tables/componentes.h"
#include "tables/tabla.h"
#include "xml/documento.h"

namespace {

namespace fs = std::filesystem;

// Carpeta temporal propia del banco.
struct Carpeta {
  fs::path ruta = fs::temp_directory_path() / ("tts-banco-" + std::to_string(::getpid()));
  Carpeta() { fs::create_directories(ruta); }
  ~Carpeta() {
    std::error_code ec;
    fs::remove_all(ruta, ec);
  }
};

const tts::DefinicionCampo kCampos[] = {tts::DefinicionCampo::caracter("PROF", 4), tts::DefinicionCampo::entero("DIA"),
                                        tts::DefinicionCampo::entero("HORA"), tts::DefinicionCampo::caracter("ASIG", 4),
                                        tts::DefinicionCampo::caracter("CODGRUPO", 4),
                                        tts::DefinicionCampo::caracter("AULA", 4)};

void escribir(const fs::path& dbf, std::int64_t filas) {
  std::error_code ec;
  fs::remove(dbf, ec);
  tts::Tabla::crear(dbf, kCampos);
  auto t = tts::Tabla::abrir(dbf, tts::Modo::exclusivo);
  for (std::int64_t i = 0; i < filas; ++i) {
    t.anadir();
    t.poner("PROF", "P" + std::to_string(i % 100));
    t.poner("DIA", static_cast<std::int32_t>(i % 5 + 1));
    t.poner("HORA", static_cast<std::int32_t>(i % 7 + 1));
    t.poner("ASIG", "Mate");
    t.poner("CODGRUPO", "1A");
    t.poner("AULA", "A1");
    t.grabar();
  }
  t.cerrar();
}

void EscribirTabla(benchmark::State& estado) {
  Carpeta c;
  for (auto _ : estado) escribir(c.ruta / "SOLUC.DBF", estado.range(0));
  estado.SetComplexityN(estado.range(0));
}
BENCHMARK(EscribirTabla)->Range(1000, 100000)->Complexity(benchmark::oN);

void LeerTabla(benchmark::State& estado) {
  Carpeta c;
  escribir(c.ruta / "SOLUC.DBF", estado.range(0));
  for (auto _ : estado) {
    auto t = tts::Tabla::abrir(c.ruta / "SOLUC.DBF", tts::Modo::compartido);
    std::int64_t suma = 0;
    for (t.primero(); !t.fin(); t.siguiente()) suma += t.entero("DIA") + static_cast<std::int64_t>(t.texto("PROF").size());
    benchmark::DoNotOptimize(suma);
  }
  estado.SetComplexityN(estado.range(0));
}
BENCHMARK(LeerTabla)->Range(1000, 100000)->Complexity(benchmark::oN);

void CodigosQueChocan(benchmark::State& estado) {
  for (auto _ : estado) {
    tts::ListaCodigos lista(4);
    for (std::int64_t i = 0; i < estado.range(0); ++i) benchmark::DoNotOptimize(tts::AsignarCodigoCorto("Mat", lista, 3));
  }
  estado.SetComplexityN(estado.range(0));
}
BENCHMARK(CodigosQueChocan)->Range(8, 900)->Complexity();

void ExportacionDelCentroReal(benchmark::State& estado) {
  Carpeta c;
  tts::Documento d;
  d.cargar(fs::path(TTS_DIR_FUENTE) / "tests/fixtures/real/exportacion-real.xml");
  for (auto _ : estado) {
    tts::Informe informe;
    tts::Componentes componentes;
    tts::ContextoExportacion ctx(d, c.ruta, informe, componentes);
    tts::exportar_todo(ctx);
  }
}
BENCHMARK(ExportacionDelCentroReal)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
