// Apoyo de las pruebas de la importación: tablas de intercambio pequeñas escritas con
// Tabla::crear, documentos de origen en línea, la ejecución de importar y la lectura del
// resultado con Documento.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "comun/informe.h"
#include "import/importacion.h"
#include "tables/componentes.h"
#include "tables/tabla.h"
#include "xml/documento.h"

namespace tts::prueba {

using Valor = std::variant<std::string, std::int32_t>;
using Fila = std::vector<Valor>;

// Crea la tabla nombre.DBF en la carpeta con esos campos y filas (un valor por campo, en
// orden; un texto vacío deja el campo sin poner).
void crear_tabla(const std::filesystem::path& carpeta, const std::string& nombre,
                 const std::vector<DefinicionCampo>& campos, const std::vector<Fila>& filas);

// Una fila de SOLUC, con DIA y HORA como textos (se escriben como números si SOLUC los
// tiene numéricos).
struct FilaSoluc {
  std::string prof, dia, hora, asig, codgrupo, aula;
};

// Las ocho tablas de una prueba, con sólo los campos que lee la importación.
struct Escuela {
  std::vector<Fila> proft;       // ABREV, X_EMPLEADO, F_TOMAPOS
  std::vector<Fila> asigt;       // CASIG, CGRUP, CLAVE, CLAVECURSO
  std::vector<Fila> asignomt;    // COD, CODTAREA
  std::vector<Fila> diashorast;  // DIHO, DIA, CODDIHO, HORADESDE, HORAHASTA
  std::vector<Fila> grupost;     // ABREV, CLAVE
  std::vector<FilaSoluc> soluc;  // PROF, DIA, HORA, ASIG, CODGRUPO, AULA
  bool soluc_numerica = true;    // DIA y HORA como campos enteros o de caracteres
  std::string sin_campo;         // "TABLA.CAMPO" que se deja fuera, para los errores

  void escribir(const std::filesystem::path& carpeta) const;
};

// Un origen mínimo con el año dado como dato propio de ANNO_ACADEMICO.
std::string origen_xml(const std::string& anno = "2023");

inline const std::chrono::system_clock::time_point kInstante =
    std::chrono::system_clock::time_point(std::chrono::seconds(1712858473));  // 11/04/2024 18:01:13 UTC

// Abre los ocho componentes en la carpeta, en el orden de la ejecución de importación.
void abrir_componentes(Componentes& componentes, const std::filesystem::path& carpeta);

// Escribe origen en carpeta/origen.xml, abre los ocho componentes en el orden de la
// ejecución, carga el origen e importa. Los componentes se cierran al acabar.
ResultadoImportacion importar_en(const std::filesystem::path& carpeta, const std::string& origen, Informe& informe);

// El resultado leído de nuevo.
struct EntradaLeida {
  std::string seq;
  std::vector<std::string> nombres;  // nombre_dato de los once
  std::vector<std::string> valores;  // sus textos (UTF-8)
};
struct ProfesorLeido {
  std::string seq, registros, x_empleado, f_tomapos;
  std::size_t datos = 0;  // hijos dato del grupo del profesor
  std::vector<EntradaLeida> entradas;
};
struct ResultadoLeido {
  std::string anno;
  std::string registros;
  std::vector<ProfesorLeido> profesores;
};
ResultadoLeido leer_resultado(const std::filesystem::path& archivo);

}  // namespace tts::prueba
