#include "export/exportacion.h"

namespace tts {

void exportar_todo(ContextoExportacion& ctx) {
  ExportarMaterias(ctx);
  ExportarActividades(ctx);
  ExportarProfesores(ctx);
  ExportarAulas(ctx);
  ExportarCursosYUnidades(ctx);
  ExportarAsignaciones(ctx);
  ExportarTramos(ctx);
}

}  // namespace tts
