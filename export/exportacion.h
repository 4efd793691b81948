// Los siete pasos de la exportación: del archivo de la administración a las tablas de
// intercambio. Cada paso lee su grupo de registros del documento, crea su tabla con el
// procedimiento de tabla nueva en la carpeta del contexto y añade una fila por registro
// utilizable, en orden del documento. Los datos pasan de un paso a otro sólo por las
// tablas (y, entre los dos primeros, por las listas de códigos del contexto).
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>

#include "comun/informe.h"
#include "comun/texto.h"
#include "export/codigos.h"
#include "tables/componentes.h"
#include "xml/documento.h"

namespace tts {

struct ContextoExportacion {
  ContextoExportacion(const Documento& d, std::filesystem::path c, Informe& i, Componentes& comp)
      : documento(d), carpeta(std::move(c)), informe(i), componentes(comp) {}

  const Documento& documento;
  std::filesystem::path carpeta;  // donde se crean las tablas (la de preparación)
  Informe& informe;
  Componentes& componentes;       // wwTableGrupos y wwTableNomAsg, que el paso 6 abre en `carpeta`

  // Las listas que comparten asignaturas y actividades; cada exportación las crea vacías.
  ListaCodigos ListaCodigosCortos{4, "Tabla ASIGNOMT, campo COD"};
  ListaCodigos ListaCodigosLargos{8, "Tabla ASIGNOMT, campo CODLARGO"};
  // Nombres ya con fila en ASIGNOMT (como se guardan: 40 caracteres sin blancos finales).
  std::unordered_set<std::string, DispersionSinMayusculas, IgualSinMayusculas> nombres_con_fila;
};

void ExportarMaterias(ContextoExportacion& ctx);
void ExportarActividades(ContextoExportacion& ctx);
void ExportarProfesores(ContextoExportacion& ctx);
void ExportarAulas(ContextoExportacion& ctx);
void ExportarCursosYUnidades(ContextoExportacion& ctx);
void ExportarAsignaciones(ContextoExportacion& ctx);
void ExportarTramos(ContextoExportacion& ctx);

// Código del nivel educativo de un curso por su clave numérica: la primera fila de la tabla
// de niveles cuyo intervalo (cerrado) contiene la clave; "NIV" si ninguna.
std::string_view nivel_educativo(std::int32_t clave);

// Texto HH:MM de una cuenta de minutos: horas por división entera hacia abajo, minutos el
// resto (0 a 59); cada parte con al menos dos cifras.
std::string texto_hora(std::int32_t minutos);

// Los siete en su orden.
void exportar_todo(ContextoExportacion& ctx);

// Las tablas que escribe la exportación (sin SOLUC), en el orden en que se sustituyen.
inline constexpr const char* kTablasExportacion[] = {"ASIGNOMT", "PROFT",  "AULAT",      "CURSOST",
                                                      "GRUPOST",  "ASIGT", "DIASHORAST", "DIASHORAST2"};

}  // namespace tts
