#include "xml/sobre.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "comun/texto.h"
#include "tests/apoyo/apoyo.h"

namespace tts {
namespace {

using ::testing::ElementsAre;

// Un grupo de prueba: lee las posiciones 0 y 1, que se llaman A y B.
constexpr std::array<Campo, 2> kCamposPrueba{{{0, "A"}, {1, "B"}}};
const DefinicionGrupo PRUEBA{"PRUEBA", kCamposPrueba};

Documento desde(std::string_view xml) {
  Documento d;
  d.cargar_memoria(xml, "prueba.xml");
  return d;
}

// Un sobre con un grupo PRUEBA que contiene esos registros.
std::string sobre(std::string_view registros) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"PRUEBA\">" +
         std::string(registros) + "</grupo_datos></BLOQUE_DATOS></SERVICIO>";
}

// Lo que un lector ve de un registro: los textos recortados de las posiciones que lee,
// separados por "|", y las posiciones que le faltaban.
struct Visto {
  std::size_t indice;
  std::string textos;
  bool por_nombre;
  std::vector<int> faltan;
  bool operator==(const Visto&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Visto& v) {
  o << "{" << v.indice << ", \"" << cp1252_a_utf8(v.textos) << "\", " << v.por_nombre << ", [";
  for (int p : v.faltan) o << p << " ";
  return o << "]}";
}

std::vector<Visto> leer(const Documento& d, const DefinicionGrupo& def, std::vector<int> posiciones,
                        std::size_t minimo = 2) {
  std::vector<Visto> vistos;
  Grupo g(d, def, minimo);
  for (const Registro& r : g.utilizables()) {
    std::string textos;
    for (std::size_t i = 0; i < posiciones.size(); ++i) textos += (i ? "|" : "") + r.texto(posiciones[i]);
    vistos.push_back({r.indice(), textos, r.por_nombre(), r.faltan()});
  }
  return vistos;
}

TEST(Sobre, LecturaDeRegistros) {
  struct Caso {
    const char* regla;
    std::string xml;
    std::vector<int> posiciones;  // las que lee el lector, en este orden
    std::vector<Visto> esperado;  // textos en Windows-1252
    std::size_t minimo = 2;
  };
  const std::vector<int> p01 = {0, 1};
  const std::vector<int> p0125 = {0, 1, 2, 5, 5};
  const Caso casos[] = {
      {"sólo cuenta la raíz SERVICIO",
       "<OTRO><BLOQUE_DATOS><grupo_datos seq=\"PRUEBA\"><grupo_datos><dato>1</dato><dato>2</dato></grupo_datos>"
       "</grupo_datos></BLOQUE_DATOS></OTRO>",
       p01, {}},
      {"el nombre del grupo distingue mayúsculas",
       "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"prueba\"><grupo_datos><dato>1</dato><dato>2</dato></grupo_datos>"
       "</grupo_datos></BLOQUE_DATOS></SERVICIO>",
       p01, {}},
      {"registros con menos de dos datos no se usan y siguen contando",
       sobre("<grupo_datos/><grupo_datos><dato>solo</dato></grupo_datos>"
             "<grupo_datos><dato>1</dato><dato>2</dato></grupo_datos>"),
       p01, {{2, "1|2", false, {}}}},
      {"con mínimo 1 basta un dato, pero no ninguno",
       sobre("<grupo_datos/><grupo_datos><dato>2023</dato></grupo_datos>"),
       p01, {{1, "2023|", false, {1}}},
       1},
      {"otros elementos no son posiciones",
       sobre("<grupo_datos><dato>1</dato><nota>no</nota><dato>2</dato></grupo_datos>"),
       p01, {{0, "1|2", false, {}}}},
      {"recorte de U+0000..U+0020 por ambos lados; los de dentro quedan",
       sobre("<grupo_datos><dato> \t\r\n Aula  12 \n</dato><dato>&#9;x&#13;</dato></grupo_datos>"),
       p01, {{0, "Aula  12|x", false, {}}}},
      {"el espacio duro no se recorta",
       sobre("<grupo_datos><dato>&#160;a&#160;</dato><dato>b</dato></grupo_datos>"),
       p01, {{0, "\xA0" "a\xA0|b", false, {}}}},
      {"acentos a Windows-1252; lo que no cabe es ?",
       sobre("<grupo_datos><dato>Matemáticas</dato><dato>αβ €</dato></grupo_datos>"),
       p01, {{0, "Matem\xE1ticas|?? \x80", false, {}}}},
      {"el texto de un dato incluye el de sus hijos",
       sobre("<grupo_datos><dato>Física <b>y <i>Química</i></b></dato><dato>2</dato></grupo_datos>"),
       p01, {{0, "F\xEDsica y Qu\xEDmica|2", false, {}}}},
      {"los registros de grupos del mismo nombre y de varios bloques van seguidos",
       "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"PRUEBA\"><grupo_datos><dato>1</dato><dato>a</dato></grupo_datos>"
       "</grupo_datos><grupo_datos seq=\"OTRO\"><grupo_datos><dato>x</dato><dato>y</dato></grupo_datos></grupo_datos>"
       "<grupo_datos seq=\"PRUEBA\"><grupo_datos><dato>2</dato><dato>b</dato></grupo_datos></grupo_datos>"
       "</BLOQUE_DATOS><BLOQUE_DATOS><grupo_datos seq=\"PRUEBA\"><grupo_datos><dato>3</dato><dato>c</dato>"
       "</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>",
       p01, {{0, "1|a", false, {}}, {1, "2|b", false, {}}, {2, "3|c", false, {}}}},
      {"la posición que falta se lee vacía y queda anotada una vez",
       sobre("<grupo_datos><dato>1</dato><dato>2</dato></grupo_datos>"),
       p0125, {{0, "1|2|||", false, {2, 5}}}},
      {"con todos los nombres se lee por nombre, en cualquier orden",
       sobre("<grupo_datos><dato nombre_dato=\"B\">b</dato><dato nombre_dato=\"Z\">z</dato>"
             "<dato nombre_dato=\"A\">a</dato></grupo_datos>"),
       p0125, {{0, "a|b|a||", true, {5}}}},
      {"de un nombre repetido vale el primero",
       sobre("<grupo_datos><dato nombre_dato=\"A\">a1</dato><dato nombre_dato=\"B\">b</dato>"
             "<dato nombre_dato=\"A\">a2</dato></grupo_datos>"),
       p0125, {{0, "a1|b|a2||", true, {5}}}},
      {"si falta un nombre, todo por posición",
       sobre("<grupo_datos><dato nombre_dato=\"B\">b</dato><dato nombre_dato=\"a\">a</dato></grupo_datos>"),
       p0125, {{0, "b|a|||", false, {2, 5}}}},
      {"un nombre_dato de otro elemento no cuenta",
       sobre("<grupo_datos><dato nombre_dato=\"B\">b</dato><nota nombre_dato=\"A\">no</nota><dato>x</dato>"
             "</grupo_datos>"),
       p0125, {{0, "b|x|||", false, {2, 5}}}},
  };
  for (const auto& c : casos) {
    const auto d = desde(c.xml);
    EXPECT_EQ(leer(d, PRUEBA, c.posiciones, c.minimo), c.esperado) << c.regla;
  }
}

TEST(Sobre, TextoSinRecortarYPrimerCaracter) {
  const auto d = desde(sobre(
      "<grupo_datos><dato>  Ana</dato><dato>\xC3\x81lvaro </dato><dato></dato><dato><b/></dato></grupo_datos>"));
  Grupo g(d, PRUEBA);
  ASSERT_EQ(g.utilizables().size(), 1u);
  const Registro& r = g.utilizables()[0];
  struct Caso {
    int posicion;
    std::string recortado, sin_recortar, primero;
  };
  const Caso casos[] = {
      {0, "Ana", "  Ana", " "},
      {1, "\xC1lvaro", "\xC1lvaro ", "\xC1"},
      {2, "", "", ""},
      {3, "", "", ""},
      {9, "", "", ""},
      {-1, "", "", ""},
  };
  for (const auto& c : casos) {
    EXPECT_EQ(r.texto(c.posicion), c.recortado) << c.posicion;
    EXPECT_EQ(r.texto_sin_recortar(c.posicion), c.sin_recortar) << c.posicion;
    EXPECT_EQ(r.primer_caracter(c.posicion), c.primero) << c.posicion;
  }
  EXPECT_THAT(r.faltan(), ElementsAre(9, -1));
  EXPECT_EQ(r.cuantos_datos(), 4u);
}

TEST(Sobre, AnotaOmitidosFaltasYLecturaPorNombre) {
  const auto d = desde(sobre(
      "<grupo_datos><dato>solo</dato></grupo_datos>"
      "<grupo_datos><dato nombre_dato=\"A\">a</dato><dato nombre_dato=\"B\">b</dato></grupo_datos>"
      "<grupo_datos/>"
      "<grupo_datos><dato>1</dato><dato>2</dato></grupo_datos>"
      "<grupo_datos><dato nombre_dato=\"A\">a</dato><dato nombre_dato=\"B\">b</dato></grupo_datos>"));
  Grupo g(d, PRUEBA);
  EXPECT_EQ(g.registros(), 5u);
  EXPECT_EQ(g.omitidos(), 2u);
  for (const Registro& r : g.utilizables()) {
    (void)r.texto(0);
    (void)r.texto(3);
    (void)r.texto(4);
    (void)r.texto(3);
  }
  Informe informe;
  g.anotar(informe);
  std::vector<std::string> notas;
  for (const auto& n : informe.notas()) notas.push_back((n.tipo == Informe::Tipo::aviso ? "aviso: " : "") + n.texto);
  EXPECT_THAT(notas, ElementsAre("aviso: Grupo «PRUEBA»: 2 registros pasados por alto por tener menos de 2 datos",
                                 "aviso: Grupo «PRUEBA», registro 2: no tiene los datos de las posiciones 3, 4; se tomaron como vacíos",
                                 "aviso: Grupo «PRUEBA», registro 4: no tiene los datos de las posiciones 3, 4; se tomaron como vacíos",
                                 "aviso: Grupo «PRUEBA», registro 5: no tiene los datos de las posiciones 3, 4; se tomaron como vacíos",
                                 "Grupo «PRUEBA»: 2 registros leídos por el nombre de sus datos"));

  // Un grupo sin nada que contar no anota nada; uno con un solo omitido, en singular.
  Informe otro;
  Grupo(desde(sobre("<grupo_datos><dato>1</dato><dato>2</dato></grupo_datos>")), PRUEBA).anotar(otro);
  EXPECT_TRUE(otro.vacio());
  const auto con_uno = desde(sobre("<grupo_datos/><grupo_datos><dato>x</dato></grupo_datos>"));
  Grupo uno(con_uno, PRUEBA, 1);
  ASSERT_EQ(uno.utilizables().size(), 1u);
  EXPECT_EQ(uno.utilizables()[0].texto(1), "");
  uno.anotar(otro);
  ASSERT_EQ(otro.notas().size(), 2u);
  EXPECT_EQ(otro.notas()[0].texto, "Grupo «PRUEBA»: 1 registro pasado por alto por tener menos de 1 dato");
  EXPECT_EQ(otro.notas()[1].texto, "Grupo «PRUEBA», registro 2: no tiene el dato de la posición 1 (B); se tomó como vacío");
}

TEST(Sobre, DatosPropiosDelGrupo) {
  const auto d = desde(
      "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\"> 2023 </dato>"
      "<grupo_datos><dato>no es propio</dato></grupo_datos><dato>x</dato></grupo_datos>"
      "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato>2024</dato></grupo_datos></BLOQUE_DATOS></SERVICIO>");
  std::vector<std::string> textos;
  for (const Nodo& n : datos_propios(d, "ANNO_ACADEMICO")) textos.push_back(texto_cp1252(n));
  EXPECT_THAT(textos, ElementsAre("2023", "x", "2024"));
  EXPECT_EQ(texto_cp1252(datos_propios(d, "ANNO_ACADEMICO")[0], false), " 2023 ");
  EXPECT_TRUE(datos_propios(d, "anno_academico").empty());
}

// Los grupos que lee el programa, con las posiciones de sus lectores.
const DefinicionGrupo* const kGrupos[] = {&grupos::MATERIAS,          &grupos::ACTIVIDADES, &grupos::EMPLEADOS,
                                          &grupos::DEPENDENCIAS,      &grupos::CURSOS_DEL_CENTRO,
                                          &grupos::UNIDADES,          &grupos::TRAMOS_HORARIOS};

TEST(Sobre, ExportacionRealSeLeePorNombre) {
  Documento d;
  d.cargar(prueba::fixture("real/exportacion-real.xml"));
  struct Caso {
    const DefinicionGrupo* def;
    std::size_t registros;
  };
  const Caso casos[] = {{&grupos::MATERIAS, 250},     {&grupos::ACTIVIDADES, 92},       {&grupos::EMPLEADOS, 99},
                        {&grupos::DEPENDENCIAS, 60},  {&grupos::CURSOS_DEL_CENTRO, 32}, {&grupos::UNIDADES, 39},
                        {&grupos::TRAMOS_HORARIOS, 17}};
  for (const auto& c : casos) {
    Grupo g(d, *c.def);
    EXPECT_EQ(g.registros(), c.registros) << c.def->seq;
    EXPECT_EQ(g.utilizables().size(), c.registros) << c.def->seq;
    for (const Registro& r : g.utilizables()) {
      EXPECT_TRUE(r.por_nombre()) << c.def->seq << " registro " << r.indice();
      for (const Campo& campo : c.def->campos) (void)r.texto(campo.posicion);
      EXPECT_TRUE(r.faltan().empty()) << c.def->seq;
    }
    Informe informe;
    g.anotar(informe);
    ASSERT_EQ(informe.notas().size(), 1u) << c.def->seq;
    EXPECT_EQ(informe.notas()[0].texto,
              "Grupo «" + std::string(c.def->seq) + "»: " + std::to_string(c.registros) +
                  " registros leídos por el nombre de sus datos");
  }
  // En MATERIAS el nombre de la materia va en la posición 1 del archivo y su clave en la 2;
  // el lector recibe la clave en la 1 y el nombre en la 2.
  Grupo materias(d, grupos::MATERIAS);
  const Registro& primera = materias.utilizables().front();
  EXPECT_EQ(primera.texto(0), "202223");
  EXPECT_EQ(primera.texto(1), "317065");
  EXPECT_EQ(primera.texto(2), "Ciencias aplicadas II");
  EXPECT_EQ(primera.texto(3), "300");  // fuera de la lista: por posición
  EXPECT_EQ(materias.utilizables()[1].texto(2), "Comunicaci\xF3n y sociedad II");
  for (const Registro& r : materias.utilizables()) {
    EXPECT_TRUE(leer_entero(r.texto(1)).has_value()) << "registro " << r.indice() << ": la clave es un número";
    EXPECT_FALSE(leer_entero(r.texto(2)).has_value()) << "registro " << r.indice() << ": el nombre no lo es";
  }
  // El año académico del archivo real está en datos propios del grupo.
  EXPECT_EQ(Grupo(d, grupos::ANNO_ACADEMICO, 1).registros(), 0u);
  ASSERT_FALSE(datos_propios(d, "ANNO_ACADEMICO").empty());
  EXPECT_EQ(texto_cp1252(datos_propios(d, "ANNO_ACADEMICO")[0]), "2023");
}

TEST(Sobre, ExportacionPosicionalDaLosMismosValores) {
  Documento real;
  real.cargar(prueba::fixture("real/exportacion-real.xml"));
  Documento posicional;
  posicional.cargar(prueba::fixture("xml/exportacion-posicional.xml"));
  for (const DefinicionGrupo* def : kGrupos) {
    Grupo por_nombre(real, *def);
    Grupo por_posicion(posicional, *def);
    ASSERT_EQ(por_posicion.utilizables().size(), 3u) << def->seq;
    for (std::size_t i = 0; i < 3; ++i) {
      const Registro& a = por_nombre.utilizables()[i];
      const Registro& b = por_posicion.utilizables()[i];
      EXPECT_FALSE(b.por_nombre()) << def->seq;
      for (const Campo& campo : def->campos) {
        EXPECT_EQ(a.texto(campo.posicion), b.texto(campo.posicion)) << def->seq << " " << campo.nombre_dato;
        EXPECT_EQ(a.texto_sin_recortar(campo.posicion), b.texto_sin_recortar(campo.posicion)) << def->seq;
        EXPECT_FALSE(a.texto(campo.posicion).empty()) << def->seq << " " << campo.nombre_dato;
      }
      EXPECT_TRUE(b.faltan().empty()) << def->seq;
    }
  }
  EXPECT_EQ(texto_cp1252(datos_propios(posicional, "ANNO_ACADEMICO")[0]), "2023");
}

}  // namespace
}  // namespace tts
