#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/export/apoyo_exportacion.h"

namespace tts::prueba {
namespace {

using ::testing::HasSubstr;

DatosRegistro empleado(const std::string& clave, const std::string& a1, const std::string& a2, const std::string& n) {
  return {clave, "01/09/2020", "x", a1, a2, n};
}

TEST(ExportarProfesores, NombresEIniciales) {
  struct Caso {
    DatosRegistro datos;
    const char* nombre;
    const char* abrev;
  };
  const Caso casos[] = {
      {empleado("E1", "García", "López", "Ana"), "García López, Ana", "GLA"},
      {empleado("E2", "Gómez", "Lara", "Andrés"), "Gómez Lara, Andrés", "GLA1"},
      {empleado("E3", "Ruiz", "", "Eva"), "Ruiz , Eva", "RE"},
      {empleado("E4", "gil", "luna", "abel"), "gil luna, abel", "gla2"},
      // La inicial sale del texto sin recortar; el nombre, de los textos recortados.
      {empleado("E5", " Sanz", "Mora", "Luis"), "Sanz Mora, Luis", " ML"},
      {empleado("E6", "", "", ""), " ,", ""},
      {empleado("E7", "", "", ""), " ,", "1"},
      // Registro de cuatro datos: las partes que faltan se leen vacías. (NOMBRE se lee sin
      // los blancos finales.)
      {{"E8", "01/01/2001", "x", "Vidal"}, "Vidal ,", "V"},
  };
  std::vector<DatosRegistro> registros;
  for (const auto& c : casos) registros.push_back(c.datos);
  Exportacion e({{"EMPLEADOS", registros}});
  ExportarProfesores(e.ctx);
  const auto leidas = filas(e.carpeta.ruta(), "PROFT", {"ABREV", "NOMBRE", "DEPART", "X_EMPLEADO", "F_TOMAPOS"});
  ASSERT_EQ(leidas.size(), std::size(casos));
  for (std::size_t i = 0; i < leidas.size(); ++i) {
    EXPECT_EQ(leidas[i].at("NOMBRE"), cp(casos[i].nombre)) << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("ABREV"), cp(casos[i].abrev)) << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("X_EMPLEADO"), casos[i].datos[0]) << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("F_TOMAPOS"), casos[i].datos[1]) << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("DEPART"), "") << "fila " << i + 1;
  }
  EXPECT_THAT(e.informe.texto(), HasSubstr("PROFT: 8 filas"));
}

TEST(ExportarProfesores, DoceConLasMismasInicialesTienenCodigosDistintos) {
  std::vector<DatosRegistro> registros;
  for (int i = 0; i < 12; ++i) registros.push_back(empleado("E" + std::to_string(i), "Gil", "Luna", "Ana"));
  Exportacion e({{"EMPLEADOS", registros}});
  ExportarProfesores(e.ctx);
  EXPECT_EQ(columna(e.carpeta.ruta(), "PROFT", "ABREV"),
            (std::vector<std::string>{"GLA", "GLA1", "GLA2", "GLA3", "GLA4", "GLA5", "GLA6", "GLA7", "GLA8", "GLA9",
                                      "GL10", "GL11"}));
  EXPECT_THAT(e.informe.texto(),
              HasSubstr("Aviso: Tabla PROFT, campo ABREV: 2 códigos acortados para que quepan en 4 caracteres: "
                        "'GLA' a 'GL10', 'GLA' a 'GL11'\n"));
}

TEST(ExportarAulas, EjemploYCasosLimite) {
  struct Caso {
    DatosRegistro datos;
    const char* abrev;
  };
  const Caso casos[] = {
      {{"A12", "Aula 12"}, "A12"},
      {{"", "Laboratorio de Física"}, "Labo"},
      {{"", "Laboratorio de Química"}, "La1"},
      {{"A12", "Aula 12 bis"}, "A11"},
      {{"A11", "Aula 11"}, "A13"},
      {{" \t ", "Gim"}, "Gim"},
      {{"", ""}, ""},
      {{"", ""}, "1"},
      // Una clave de más de cuatro caracteres se corta, y sigue siendo única.
      {{"SUM01", "Salón"}, "SUM0"},
      {{"SUM02", "Salón 2"}, "SU1"},
  };
  std::vector<DatosRegistro> registros;
  for (const auto& c : casos) registros.push_back(c.datos);
  Exportacion e({{"DEPENDENCIAS", registros}});
  ExportarAulas(e.ctx);
  const auto leidas = filas(e.carpeta.ruta(), "AULAT", {"ABREV", "NOMBRE", "EDIFICIO", "DEPCENTRO"});
  ASSERT_EQ(leidas.size(), std::size(casos));
  for (std::size_t i = 0; i < leidas.size(); ++i) {
    EXPECT_EQ(leidas[i].at("ABREV"), cp(casos[i].abrev)) << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("NOMBRE"), cp(casos[i].datos[1])) << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("EDIFICIO"), "");
    EXPECT_EQ(leidas[i].at("DEPCENTRO"), "");
  }
  EXPECT_THAT(e.informe.texto(),
              HasSubstr("Aviso: Tabla AULAT, campo ABREV: 2 códigos acortados para que quepan en 4 caracteres: "
                        "'SUM01' a 'SUM0', 'SUM02' a 'SU1'\n"));
}

}  // namespace
}  // namespace tts::prueba
