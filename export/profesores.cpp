// ExportarProfesores: la tabla PROFT, una fila por empleado, con un código hecho de las
// iniciales de las tres partes del nombre.
#include <string>
#include <vector>

#include "export/exportacion.h"
#include "export/pasos.h"
#include "tables/carpeta.h"
#include "xml/sobre.h"

namespace tts {

void ExportarProfesores(ContextoExportacion& ctx) {
  const std::vector<DefinicionCampo> campos = {
      DefinicionCampo::caracter("ABREV", 4),      DefinicionCampo::caracter("NOMBRE", 40),
      DefinicionCampo::caracter("DEPART", 40),    DefinicionCampo::entero("DNI"),
      DefinicionCampo::caracter("X_EMPLEADO", 10), DefinicionCampo::caracter("F_TOMAPOS", 10)};
  tabla_nueva(ctx.carpeta, "PROFT", campos);
  ListaCodigos codigos(4, "Tabla PROFT, campo ABREV");
  Grupo grupo(ctx.documento, grupos::EMPLEADOS);
  pasos::Cortes cortes(ctx.informe, "PROFT");
  Tabla tabla = pasos::abrir(ctx.carpeta, "PROFT", cortes);
  for (const Registro& r : grupo.utilizables()) {
    const std::string empleado = r.texto(0);
    const std::string toma_posesion = r.texto(1);
    // Las iniciales salen del texto sin recortar: un blanco inicial también cuenta.
    const std::string iniciales = r.primer_caracter(3) + r.primer_caracter(4) + r.primer_caracter(5);
    const std::string nombre = r.texto(3) + " " + r.texto(4) + ", " + r.texto(5);
    const std::string codigo = AsignarCodigoCorto(iniciales, codigos, 3);
    tabla.anadir();
    tabla.poner("ABREV", codigo);
    tabla.poner("NOMBRE", nombre);
    tabla.poner("X_EMPLEADO", empleado);
    tabla.poner("F_TOMAPOS", toma_posesion);
    tabla.grabar();
  }
  tabla.cerrar();
  grupo.anotar(ctx.informe);
  cortes.volcar();
  pasos::anotar_filas(ctx.informe, "PROFT", grupo.utilizables().size());
  anotar_acortados(codigos, ctx.informe);
}

}  // namespace tts
