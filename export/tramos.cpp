// ExportarTramos: la rejilla semanal. La primera pasada escribe DIASHORAST2, cada tramo en
// los siete días con su minuto de inicio en ORDEN; la segunda la lee por su índice ORDEN
// (empates en orden de grabación) y escribe DIASHORAST con las horas numeradas por inicio.
#include <cstdint>
#include <string>
#include <vector>

#include "export/exportacion.h"
#include "export/pasos.h"
#include "tables/carpeta.h"
#include "xml/sobre.h"

namespace tts {
namespace {

std::vector<DefinicionCampo> campos_comunes() {
  return {DefinicionCampo::caracter("DIHO", 10),     DefinicionCampo::caracter("CODDIHO", 10),
          DefinicionCampo::caracter("DIA", 20),      DefinicionCampo::caracter("TEXTODIA", 20),
          DefinicionCampo::caracter("HORA", 8),      DefinicionCampo::caracter("TEXTOHOR", 8),
          DefinicionCampo::caracter("HORADESDE", 8), DefinicionCampo::caracter("HORAHASTA", 8),
          DefinicionCampo::caracter("MINUTOS", 8)};
}

std::string dos_cifras(std::int64_t v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

constexpr const char* kCopiados[] = {"TEXTOHOR", "CODDIHO", "HORADESDE", "HORAHASTA", "MINUTOS"};

}  // namespace

std::string texto_hora(std::int32_t minutos) {
  const std::int64_t m = minutos;
  std::int64_t horas = m / 60;
  std::int64_t resto = m % 60;
  if (resto < 0) {
    resto += 60;
    horas -= 1;
  }
  return dos_cifras(horas) + ":" + dos_cifras(resto);
}

void ExportarTramos(ContextoExportacion& ctx) {
  const std::vector<DefinicionCampo> campos = campos_comunes();
  std::vector<DefinicionCampo> campos2 = campos_comunes();
  campos2.push_back(DefinicionCampo::entero("ORDEN"));
  const std::vector<DefinicionIndice> indices = {{"ORDEN", "ORDEN"}};
  tabla_nueva(ctx.carpeta, "DIASHORAST", campos);
  tabla_nueva(ctx.carpeta, "DIASHORAST2", campos2, indices);

  // Primera pasada: la hora p cuenta los tramos utilizables en orden del documento.
  Grupo tramos(ctx.documento, grupos::TRAMOS_HORARIOS);
  pasos::Cortes cortes2(ctx.informe, "DIASHORAST2");
  pasos::Cortes cortes(ctx.informe, "DIASHORAST");
  std::size_t filas2 = 0;
  {
    Tabla diashorast2 = pasos::abrir(ctx.carpeta, "DIASHORAST2", cortes2);
    int p = 1;
    for (const Registro& r : tramos.utilizables()) {
      const std::string id = r.texto(0);
      const std::string texto = r.texto(1);
      const std::int32_t inicio = pasos::entero_del_registro(r.texto(2), "TRAMOS_HORARIOS", r.indice(),
                                                             "el minuto de inicio", ctx.informe);
      const std::int32_t fin = pasos::entero_del_registro(r.texto(3), "TRAMOS_HORARIOS", r.indice(),
                                                          "el minuto final", ctx.informe);
      const std::string desde = texto_hora(inicio);
      const std::string hasta = texto_hora(fin);
      const std::string minutos = std::to_string(std::int64_t{fin} - std::int64_t{inicio});
      const std::string hora = std::to_string(p);
      for (int d = 1; d <= 7; ++d) {
        const std::string dia = std::to_string(d);
        diashorast2.anadir();
        diashorast2.poner("DIHO", dia + hora);
        diashorast2.poner("DIA", dia);
        diashorast2.poner("HORA", hora);
        diashorast2.poner("TEXTOHOR", texto);
        diashorast2.poner("CODDIHO", id);
        diashorast2.poner("HORADESDE", desde);
        diashorast2.poner("HORAHASTA", hasta);
        diashorast2.poner("MINUTOS", minutos);
        diashorast2.poner("ORDEN", inicio);
        diashorast2.grabar();
        ++filas2;
      }
      ++p;
    }
    diashorast2.cerrar();
  }
  tramos.anotar(ctx.informe);

  // Segunda pasada: la hora q cuenta los minutos de inicio distintos, de menor a mayor.
  std::size_t filas = 0;
  {
    Tabla diashorast2 = Tabla::abrir(archivo_tabla(ctx.carpeta, "DIASHORAST2"), Modo::compartido);
    diashorast2.ordenar_por("ORDEN");
    diashorast2.primero();
    Tabla diashorast = pasos::abrir(ctx.carpeta, "DIASHORAST", cortes);
    if (!diashorast2.fin()) {
      std::int32_t ultimo = diashorast2.entero("ORDEN");
      int q = 1;
      for (; !diashorast2.fin(); diashorast2.siguiente()) {
        const std::int32_t orden = diashorast2.entero("ORDEN");
        if (orden > ultimo) {
          ++q;
          ultimo = orden;
        }
        const std::string dia = diashorast2.texto("DIA");
        const std::string hora = std::to_string(q);
        diashorast.anadir();
        diashorast.poner("DIHO", dia + hora);
        diashorast.poner("DIA", dia);
        diashorast.poner("HORA", hora);
        for (const char* campo : kCopiados) diashorast.poner(campo, diashorast2.texto(campo));
        diashorast.grabar();
        ++filas;
      }
    }
    diashorast2.cerrar();
    diashorast.cerrar();
  }

  cortes2.volcar();
  cortes.volcar();
  pasos::anotar_filas(ctx.informe, "DIASHORAST2", filas2);
  pasos::anotar_filas(ctx.informe, "DIASHORAST", filas);
}

}  // namespace tts
