// ExportarAulas: la tabla AULAT, una fila por dependencia, con su código (el dato 0 o, si
// está vacío, el comienzo del nombre).
#include <string>
#include <vector>

#include "export/exportacion.h"
#include "export/pasos.h"
#include "tables/carpeta.h"
#include "xml/sobre.h"

namespace tts {

void ExportarAulas(ContextoExportacion& ctx) {
  const std::vector<DefinicionCampo> campos = {
      DefinicionCampo::caracter("ABREV", 4), DefinicionCampo::caracter("NOMBRE", 40),
      DefinicionCampo::caracter("EDIFICIO", 1), DefinicionCampo::entero("MAXALUM"),
      DefinicionCampo::caracter("DEPCENTRO", 10)};
  tabla_nueva(ctx.carpeta, "AULAT", campos);
  ListaCodigos codigos(4, "Tabla AULAT, campo ABREV");
  Grupo grupo(ctx.documento, grupos::DEPENDENCIAS);
  pasos::Cortes cortes(ctx.informe, "AULAT");
  Tabla tabla = pasos::abrir(ctx.carpeta, "AULAT", cortes);
  for (const Registro& r : grupo.utilizables()) {
    const std::string nombre = r.texto(1);
    std::string base = r.texto(0);
    if (base.empty()) base = pasos::inicio(nombre, 4);
    const std::string codigo = AsignarCodigoCorto(base, codigos, 2);
    tabla.anadir();
    tabla.poner("ABREV", codigo);
    tabla.poner("NOMBRE", nombre);
    tabla.poner("DEPCENTRO", "");
    tabla.grabar();
  }
  tabla.cerrar();
  grupo.anotar(ctx.informe);
  cortes.volcar();
  pasos::anotar_filas(ctx.informe, "AULAT", grupo.utilizables().size());
  anotar_acortados(codigos, ctx.informe);
}

}  // namespace tts
