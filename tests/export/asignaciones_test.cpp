#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/export/apoyo_exportacion.h"

namespace tts::prueba {
namespace {

using ::testing::HasSubstr;

void hasta_asignaciones(Exportacion& e) {
  ExportarMaterias(e.ctx);
  ExportarActividades(e.ctx);
  ExportarCursosYUnidades(e.ctx);
  ExportarAsignaciones(e.ctx);
}

const std::vector<GrupoPrueba> kCentro(const std::vector<DatosRegistro>& materias) {
  return {{"MATERIAS", materias},
          {"ACTIVIDADES", {{"0", "G", "Guardia"}, {"0", "L", "Lengua"}}},
          {"CURSOS_DEL_CENTRO", {{"2060", "2º Bachillerato"}, {"100317", "1º Primaria"}, {"5000", "Sin unidades"}}},
          {"UNIDADES", {{"U1", "2ESOA", "2060"}, {"U2", "1PRA", "100317"}, {"U3", "2ESOB", "2060"}}}};
}

TEST(ExportarAsignaciones, UnaFilaPorMateriaYUnidadDeSuCurso) {
  const std::string larga = "Proyecto interdisciplinar de investigación científica";  // más de 40
  Exportacion e(kCentro({{"2060", "M1", "Lengua"},
                         {"2060", "M2", "Música"},
                         {"100317", "M3", "Matemáticas"},
                         {"100317", "M4", "MATEMÁTICAS"},
                         {"2060", "M5", "Matemáticas I"},
                         {"2060", "M6", "Matemáticas II"},
                         {"2060", "M7", larga},
                         {"2060", "M8", "Música"},
                         {"20600000000", "M9", "Lengua"},
                         {"5000", "M10", "Lengua"},
                         {"999", "M11", "Arte"},
                         // Nombre vacío: su fila de ASIGNOMT tiene COD vacío y no da asignaciones.
                         {"2060", "M12", ""}}));
  hasta_asignaciones(e);
  struct Esperada {
    const char *casig, *cgrup, *nivel, *curso, *grupo, *clave, *clavecurso;
  };
  const Esperada esperadas[] = {
      {"Leng", "2ESO", "BAC", "2", "A", "M1", "2060"},    {"Leng", "2ES1", "BAC", "2", "B", "M1", "2060"},
      {"Músi", "2ESO", "BAC", "2", "A", "M2", "2060"},    {"Músi", "2ES1", "BAC", "2", "B", "M2", "2060"},
      {"Mate", "1PRA", "PRI", "1", "A", "M3", "100317"},  // la fila de la primera Matemáticas
      {"Mate", "1PRA", "PRI", "1", "A", "M4", "100317"},  // mayúsculas ignoradas
      {"Mat1", "2ESO", "BAC", "2", "A", "M5", "2060"},    {"Mat1", "2ES1", "BAC", "2", "B", "M5", "2060"},
      {"Mat2", "2ESO", "BAC", "2", "A", "M6", "2060"},    {"Mat2", "2ES1", "BAC", "2", "B", "M6", "2060"},
      {"Proy", "2ESO", "BAC", "2", "A", "M7", "2060"},    {"Proy", "2ES1", "BAC", "2", "B", "M7", "2060"},
      {"Músi", "2ESO", "BAC", "2", "A", "M8", "2060"},    {"Músi", "2ES1", "BAC", "2", "B", "M8", "2060"},
  };
  const auto leidas = filas(e.carpeta.ruta(), "ASIGT",
                            {"CASIG", "CPROF", "CGRUP", "CAULA", "TURNO", "NIVEL", "CURSO", "GRUPO", "SESIONES",
                             "CLAVE", "CLAVECURSO", "TAREA"});
  ASSERT_EQ(leidas.size(), std::size(esperadas));
  for (std::size_t i = 0; i < leidas.size(); ++i) {
    const std::string fila = "fila " + std::to_string(i + 1);
    EXPECT_EQ(leidas[i].at("CASIG"), cp(esperadas[i].casig)) << fila;
    EXPECT_EQ(leidas[i].at("CGRUP"), esperadas[i].cgrup) << fila;
    EXPECT_EQ(leidas[i].at("NIVEL"), esperadas[i].nivel) << fila;
    EXPECT_EQ(leidas[i].at("CURSO"), esperadas[i].curso) << fila;
    EXPECT_EQ(leidas[i].at("GRUPO"), esperadas[i].grupo) << fila;
    EXPECT_EQ(leidas[i].at("CLAVE"), esperadas[i].clave) << fila;
    EXPECT_EQ(leidas[i].at("CLAVECURSO"), esperadas[i].clavecurso) << fila;
    EXPECT_EQ(leidas[i].at("SESIONES"), "1111") << fila;
    for (const char* vacio : {"CPROF", "CAULA", "TURNO", "TAREA"}) EXPECT_EQ(leidas[i].at(vacio), "") << fila;
  }
  Tabla asigt = Tabla::abrir(archivo_tabla(e.carpeta.ruta(), "ASIGT"), Modo::compartido);
  for (asigt.primero(); !asigt.fin(); asigt.siguiente()) EXPECT_EQ(asigt.flotante("HORAS"), 4.0);

  const std::string informe = e.informe.texto();
  EXPECT_THAT(informe, HasSubstr("ASIGT: 14 filas"));
  EXPECT_THAT(informe, HasSubstr("'20600000000'"));
  EXPECT_THAT(informe, HasSubstr("'5000'"));
  EXPECT_THAT(informe, HasSubstr("'999'"));
  EXPECT_THAT(informe, HasSubstr("ASIGT: 1 materia sin fila en ASIGNOMT, sin asignaciones: ''"));
}

TEST(ExportarAsignaciones, DejaCerradosLosComponentesTambienSiFalla) {
  Exportacion e(kCentro({{"2060", "M1", "Lengua"}}));
  hasta_asignaciones(e);
  EXPECT_FALSE(e.componentes.wwTableGrupos.abierto());
  EXPECT_FALSE(e.componentes.wwTableNomAsg.abierto());

  // Sin GRUPOST el segundo componente no llega a abrirse; el primero no queda abierto.
  std::filesystem::remove(archivo_tabla(e.carpeta.ruta(), "GRUPOST"));
  EXPECT_ANY_THROW(ExportarAsignaciones(e.ctx));
  EXPECT_FALSE(e.componentes.wwTableGrupos.abierto());
  EXPECT_FALSE(e.componentes.wwTableNomAsg.abierto());
  // Sin ASIGNOMT falla el segundo; el primero se cierra.
  ExportarCursosYUnidades(e.ctx);
  std::filesystem::remove(archivo_tabla(e.carpeta.ruta(), "ASIGNOMT"));
  EXPECT_ANY_THROW(ExportarAsignaciones(e.ctx));
  EXPECT_FALSE(e.componentes.wwTableGrupos.abierto());
  EXPECT_FALSE(e.componentes.wwTableNomAsg.abierto());
}

}  // namespace
}  // namespace tts::prueba
