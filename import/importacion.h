// La importación: recorre PROFT profesor a profesor y, de cada uno, sus entradas de SOLUC,
// une cada entrada con ASIGT, ASIGNOMT, DIASHORAST y GRUPOST y construye el documento de
// resultado dentro del documento de origen ya cargado (su raíz SERVICIO se sustituye).
// Las búsquedas se contestan con índices hechos una vez por ejecución que devuelven el
// primer registro que casa en orden de registro, la misma respuesta que un recorrido.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "comun/informe.h"
#include "tables/componentes.h"
#include "xml/documento.h"

namespace tts {

// El año académico del documento: el dato 0 recortado del último registro de
// ANNO_ACADEMICO que tenga datos; sin registros, el primer dato propio del grupo (C_ANNO si
// los datos llevan nombre). Error si falta o no son sólo cifras decimales; archivo, si se da,
// sale en el mensaje.
std::string anno_academico(const Documento& documento, std::string_view archivo = "");

// "ResultadoTamso" + nombre del origen, en la carpeta del origen.
std::filesystem::path ruta_resultado(const std::filesystem::path& origen);

// El sello de tiempo "dd/MM/yyyy HH:mm:ss" de un instante, en hora local.
std::string sello_tiempo(std::chrono::system_clock::time_point instante);

struct ResultadoImportacion {
  std::filesystem::path archivo;  // el resultado escrito
  std::size_t profesores = 0;
  std::size_t entradas = 0;
};

// Con los ocho componentes ya abiertos y el origen cargado en documento: construye el
// resultado y lo guarda en un temporal de la carpeta del origen, que renombra sobre el
// nombre del resultado sólo cuando está completo. Antes de tocar el documento comprueba el
// sobre (/SERVICIO/BLOQUE_DATOS), el año académico y que las tablas tengan los campos que
// se leen ("wwTableSoluc: No se encuentra el campo 'DIA'"); un Error en cualquier punto
// deja sin escribir el resultado y como estaba uno anterior. Anota en el informe lo escrito,
// los registros de SOLUC sin día o de un PROF que no es de ningún profesor, y las
// búsquedas sin resultado con las primeras entradas afectadas. No cierra los componentes.
ResultadoImportacion importar(Documento& documento, Componentes& componentes, const std::filesystem::path& origen,
                              Informe& informe, std::chrono::system_clock::time_point instante);

}  // namespace tts
