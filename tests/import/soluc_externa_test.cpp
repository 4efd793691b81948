// SOLUC la escribe otro programa: aquí la escribe un escritor dBase independiente
// (python3-dbf), con DIA y HORA numéricos, campos que la importación no lee, un registro
// borrado y texto Windows-1252; las demás tablas son las nuestras.
#include <gtest/gtest.h>

#include "tests/apoyo/apoyo.h"
#include "tests/import/apoyo_importacion.h"

namespace tts {
namespace {

using prueba::CarpetaTemporal;

constexpr const char* kEscritor = R"(
import sys, os, dbf
ruta = os.path.join(sys.argv[1], 'SOLUC.DBF')
t = dbf.Table(ruta, 'SESION N(5,0); PROF C(4); DIA N(1,0); HORA N(2,0); ASIG C(4); CODGRUPO C(4); '
                    'AULA C(8); NOTA C(20)', dbf_type='db3', codepage='cp1252')
t.open(dbf.READ_WRITE)
filas = [
    (1, 'AB', 1, 1, 'MAT', '1A', 'Aula 1', 'primera'),
    (2, 'AB', 1, 12, 'MAT', '1A', 'Laborat', 'borrada'),
    (3, 'AB', 0, 3, 'MAT', '1A', '', 'sin dia'),
    (4, 'AB', 2, 10, 'GUA', '1A', 'Sal\u00f3n', 'dos cifras'),
    (5, 'CD', 1, 1, 'MAT', '1A', '', 'otro profesor'),
]
for f in filas:
    t.append(f)
dbf.delete(t[1])
t.close()
)";

TEST(SolucExterna, EscritaPorOtroEscritorDbase) {
  CarpetaTemporal carpeta;
  prueba::Escuela e;
  e.proft = {{"AB", "1001", "01/09/1996"}};
  e.asigt = {{"MAT", "1A", "M1", "C1"}};
  e.asignomt = {{"MAT", ""}, {"GUA", "T77"}};
  e.diashorast = {{"11", "1", "T1", "08:00", "08:55"}, {"112", "1", "T12", "14:05", "15:00"},
                  {"210", "2", "T210", "10:00", "10:55"}};
  e.grupost = {{"1A", "U1"}};
  e.escribir(carpeta.ruta());
  std::filesystem::remove(carpeta / "SOLUC.DBF");
  const auto escrito = prueba::python(kEscritor, prueba::comillas(carpeta.ruta().string()));
  ASSERT_EQ(escrito.codigo, 0) << escrito.errores;

  Informe informe;
  const auto r = prueba::importar_en(carpeta.ruta(), prueba::origen_xml(), informe);
  const auto leido = prueba::leer_resultado(r.archivo);
  ASSERT_EQ(leido.profesores.size(), 1u);
  const auto& ab = leido.profesores[0];
  EXPECT_EQ(ab.registros, "3");  // el borrado no cuenta; el de día 0 sí
  ASSERT_EQ(ab.entradas.size(), 2u);
  EXPECT_EQ(ab.entradas[0].valores,
            (std::vector<std::string>{"1", "T1", "Aula 1", "U1", "C1", "M1", "01/09/2023", "31/08/2024", "480", "535", "1"}));
  EXPECT_EQ(ab.entradas[1].valores, (std::vector<std::string>{"2", "T210", "Salón", "U1", "", "", "01/09/2023",
                                                              "31/08/2024", "600", "655", "T77"}));
  EXPECT_NE(informe.texto().find("'CD'"), std::string::npos) << informe.texto();
}

}  // namespace
}  // namespace tts
