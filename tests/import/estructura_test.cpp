// La forma del resultado frente al resultado real que dejó un programa de horarios: los
// mismos elementos y atributos, en el mismo orden. Lo lee un lector independiente
// (ElementTree de Python); los números de seq se generalizan y los hijos repetidos seguidos
// cuentan una vez, para que un resultado pequeño y uno grande tengan la misma firma. No se
// comparan ni el autor ni el sangrado.
#include <gtest/gtest.h>

#include "import/importacion.h"
#include "tests/apoyo/apoyo.h"
#include "tests/import/apoyo_importacion.h"

namespace tts {
namespace {

using prueba::CarpetaTemporal;

constexpr const char* kFirma = R"(
import re, sys, xml.etree.ElementTree as ET

def nombre(e):
    seq = e.get('seq'); nd = e.get('nombre_dato')
    n = e.tag
    if seq: n += '[' + re.sub(r'\d+$', 'n', seq) + ']'
    if nd: n += '[' + nd + ']'
    return n

def firma(e, ruta, salida):
    r = ruta + '/' + nombre(e)
    hijos = []
    for h in e:
        k = nombre(h)
        if not hijos or hijos[-1] != k: hijos.append(k)
    salida.add((r, tuple(e.attrib.keys()), tuple(hijos)))
    for h in e: firma(h, r, salida)

salida = set()
firma(ET.parse(sys.argv[1]).getroot(), '', salida)
for x in sorted(salida): print(x)
)";

TEST(EstructuraDelResultado, ComoElResultadoReal) {
  CarpetaTemporal carpeta;
  prueba::Escuela e;
  e.proft = {{"AB", "1001", "01/09/1996"}, {"CD", "1002", "02/09/1997"}};
  e.asigt = {{"MAT", "1A", "M1", "C1"}};
  e.asignomt = {{"MAT", ""}, {"GUA", "T77"}};
  e.diashorast = {{"11", "1", "T1", "08:00", "08:55"}};
  e.grupost = {{"1A", "U1"}};
  e.soluc = {{"AB", "1", "1", "MAT", "1A", "A1"}, {"AB", "1", "2", "GUA", "1A", ""}, {"CD", "1", "1", "MAT", "1A", "A2"}};
  e.escribir(carpeta.ruta());
  Informe informe;
  const auto r = prueba::importar_en(carpeta.ruta(), prueba::origen_xml(), informe);

  const auto nuestra = prueba::python(kFirma, prueba::comillas(r.archivo.string()));
  const auto real = prueba::python(kFirma, prueba::comillas(prueba::fixture("real/resultado-real.xml").string()));
  ASSERT_EQ(nuestra.codigo, 0) << nuestra.errores;
  ASSERT_EQ(real.codigo, 0) << real.errores;
  EXPECT_FALSE(real.texto.empty());
  EXPECT_EQ(nuestra.texto, real.texto);
}

}  // namespace
}  // namespace tts
