// El documento de resultado: se construye dentro del documento de origen ya cargado. La raíz
// SERVICIO del origen sale con todo su contenido y una raíz nueva ocupa su sitio, con la
// cabecera del módulo de horarios, el grupo del año académico y el grupo de horarios con un
// grupo por profesor y, dentro, uno por entrada. Lo que está fuera de la raíz (declaración,
// comentarios, instrucciones) se queda donde estaba. Los valores llegan en Windows-1252 y
// se pasan a UTF-8 al ponerlos en el árbol.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "xml/documento.h"

namespace tts {

// Una ruta como texto UTF-8, para los mensajes y el informe.
std::string texto_ruta(const std::filesystem::path& ruta);

// Minutos desde medianoche de un texto de hora "HH:MM" (o "H:MM"): si tiene menos de cinco
// caracteres se le antepone un "0"; las horas son sus dos primeros caracteres y los minutos
// sus dos últimos. "" da "0". Error "'%s' no es un valor entero válido" si no son números.
std::string hora_en_minutos(std::string_view hora);

// El número decimal siguiente a un texto de cifras decimales ("2023" -> "2024").
std::string anno_siguiente(std::string_view anno);

// Los valores de una entrada, en Windows-1252, tal como salen de las búsquedas; vacíos
// cuando la fila no se encontró.
struct ValoresEntrada {
  std::string dia;         // DIA del tramo (DIASHORAST)
  std::string coddiho;     // CODDIHO del tramo
  std::string aula;        // AULA de SOLUC; vacío si sólo tenía blancos
  std::string unidad;      // CLAVE de la unidad (GRUPOST)
  std::string clavecurso;  // CLAVECURSO de la asignación (ASIGT)
  std::string clave;       // CLAVE de la asignación
  std::string horadesde;   // HORADESDE del tramo
  std::string horahasta;   // HORAHASTA del tramo
  std::string codtarea;    // CODTAREA de la fila de actividad (ASIGNOMT)
};

// Construye el resultado paso a paso, en el orden en que se añaden los nodos.
class ConstructorResultado {
 public:
  // anno: el año académico, cifras decimales.
  ConstructorResultado(Documento& documento, std::string anno);

  // Error si el documento no tiene /SERVICIO/BLOQUE_DATOS (no se toca nada).
  static void comprobar_origen(const Documento& documento, std::string_view archivo);

  // Vacía el origen y escribe la cabecera, el grupo del año y el grupo de horarios con su
  // número de profesores.
  void empezar(std::string_view sello, std::size_t profesores);

  // Un grupo de profesor nuevo (número n, desde 1) con sus dos datos; queda como el actual.
  void profesor(std::size_t n, std::size_t registros, std::string_view x_empleado, std::string_view f_tomapos);

  // Una entrada nueva (número k, desde 1) del profesor actual con sus once datos.
  void entrada(std::size_t k, const ValoresEntrada& valores);

 private:
  Nodo dato(Nodo padre, std::string_view nombre, std::string_view valor_cp1252);

  Documento& documento_;
  std::string anno_;
  std::string f_inicio_;
  std::string f_fin_;
  Nodo horarios_;
  Nodo profesor_;
};

// Guarda el documento en un temporal de la carpeta de destino y lo renombra sobre destino
// sólo cuando está completo. Si algo falla, destino queda como estaba y el temporal se borra.
void guardar_resultado(const Documento& documento, const std::filesystem::path& destino);

}  // namespace tts
