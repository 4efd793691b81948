#include "tests/import/apoyo_importacion.h"

#include <gtest/gtest.h>

#include "tests/apoyo/apoyo.h"
#include "tables/componentes.h"

namespace tts::prueba {

namespace fs = std::filesystem;

void crear_tabla(const fs::path& carpeta, const std::string& nombre, const std::vector<DefinicionCampo>& campos,
                 const std::vector<Fila>& filas) {
  const auto dbf = carpeta / (nombre + ".DBF");
  Tabla::crear(dbf, campos);
  Tabla t = Tabla::abrir(dbf, Modo::exclusivo);
  for (const auto& fila : filas) {
    t.anadir();
    for (std::size_t i = 0; i < fila.size() && i < campos.size(); ++i) {
      if (const auto* s = std::get_if<std::string>(&fila[i])) {
        if (!s->empty()) t.poner(campos[i].nombre, *s);
      } else {
        t.poner(campos[i].nombre, std::get<std::int32_t>(fila[i]));
      }
    }
    t.grabar();
  }
  t.cerrar();
}

namespace {

std::vector<DefinicionCampo> sin(std::vector<DefinicionCampo> campos, const std::string& tabla,
                                 const std::string& sin_campo) {
  const auto punto = sin_campo.find('.');
  if (punto == std::string::npos || sin_campo.substr(0, punto) != tabla) return campos;
  std::erase_if(campos, [&](const DefinicionCampo& c) { return c.nombre == sin_campo.substr(punto + 1); });
  return campos;
}

// Las filas sin la columna que se ha quitado.
std::vector<Fila> sin_columna(const std::vector<Fila>& filas, const std::vector<DefinicionCampo>& todos,
                              const std::vector<DefinicionCampo>& quedan) {
  if (todos.size() == quedan.size()) return filas;
  std::vector<Fila> salida;
  for (const auto& f : filas) {
    Fila nueva;
    for (std::size_t i = 0; i < todos.size() && i < f.size(); ++i)
      for (const auto& q : quedan)
        if (q.nombre == todos[i].nombre) nueva.push_back(f[i]);
    salida.push_back(std::move(nueva));
  }
  return salida;
}

}  // namespace

void Escuela::escribir(const fs::path& carpeta) const {
  using C = DefinicionCampo;
  const auto tabla = [&](const std::string& nombre, const std::vector<C>& campos, const std::vector<Fila>& filas) {
    const auto quedan = sin(campos, nombre, sin_campo);
    crear_tabla(carpeta, nombre, quedan, sin_columna(filas, campos, quedan));
  };
  tabla("PROFT", {C::caracter("ABREV", 4), C::caracter("X_EMPLEADO", 10), C::caracter("F_TOMAPOS", 10)}, proft);
  tabla("ASIGT", {C::caracter("CASIG", 4), C::caracter("CGRUP", 4), C::caracter("CLAVE", 10), C::caracter("CLAVECURSO", 10)},
        asigt);
  tabla("ASIGNOMT", {C::caracter("COD", 4), C::caracter("CODTAREA", 12)}, asignomt);
  tabla("DIASHORAST",
        {C::caracter("DIHO", 10), C::caracter("DIA", 20), C::caracter("CODDIHO", 10), C::caracter("HORADESDE", 8),
         C::caracter("HORAHASTA", 8)},
        diashorast);
  tabla("GRUPOST", {C::caracter("ABREV", 4), C::caracter("CLAVE", 10)}, grupost);
  tabla("CURSOST", {C::caracter("ABREV", 3), C::caracter("CLAVE", 10)}, {});
  tabla("AULAT", {C::caracter("ABREV", 4), C::caracter("NOMBRE", 40)}, {});

  std::vector<C> campos{C::caracter("PROF", 4),
                        soluc_numerica ? C::entero("DIA") : C::caracter("DIA", 2),
                        soluc_numerica ? C::entero("HORA") : C::caracter("HORA", 2),
                        C::caracter("ASIG", 4),
                        C::caracter("CODGRUPO", 4),
                        C::caracter("AULA", 10)};
  std::vector<Fila> filas;
  for (const auto& s : soluc) {
    const auto numero = [&](const std::string& t) -> Valor {
      if (soluc_numerica) return static_cast<std::int32_t>(std::stoi(t));
      return t;
    };
    filas.push_back({s.prof, numero(s.dia), numero(s.hora), s.asig, s.codgrupo, s.aula});
  }
  tabla("SOLUC", campos, filas);
}

std::string origen_xml(const std::string& anno) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<SERVICIO modulo=\"HORARIOS\" tipo=\"E\" autor=\"BRELOVA\" fecha=\"16/01/2024 20:59:15\"><BLOQUE_DATOS>"
         "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">" +
         anno +
         "</dato><dato nombre_dato=\"F_INIHORREG\">01/09/2023</dato></grupo_datos>"
         "<grupo_datos seq=\"MATERIAS\" registros=\"1\"><grupo_datos seq=\"MATERIA_1\">"
         "<dato nombre_dato=\"X_OFERTAMATRIG\">1</dato><dato nombre_dato=\"D_MATERIAC\">Lengua</dato>"
         "</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>\n";
}

void abrir_componentes(Componentes& c, const fs::path& carpeta) {
  c.abrir_todos(carpeta);
}

ResultadoImportacion importar_en(const fs::path& carpeta, const std::string& origen, Informe& informe) {
  const auto archivo = carpeta / "origen.xml";
  escribir_archivo(archivo, origen);
  Componentes c;
  CierreComponentes cierre(c);
  abrir_componentes(c, carpeta);
  Documento documento;
  documento.cargar(archivo);
  return importar(documento, c, archivo, informe, kInstante);
}

ResultadoLeido leer_resultado(const fs::path& archivo) {
  Documento d;
  d.cargar(archivo);
  ResultadoLeido r;
  const auto anno = d.seleccionar("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"ANNO_ACADEMICO\"]/dato");
  if (!anno.empty()) r.anno = anno.front().texto();
  const Nodo horarios = d.seleccionar_uno("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]");
  if (!horarios) return r;
  r.registros = horarios.atributo("registros");
  for (const Nodo& p : horarios.hijos_elemento("grupo_datos")) {
    ProfesorLeido pl;
    pl.seq = p.atributo("seq");
    pl.registros = p.atributo("registros");
    const auto datos = p.hijos_elemento("dato");
    pl.datos = datos.size();
    for (const Nodo& dato : datos) {
      if (dato.atributo("nombre_dato") == "X_EMPLEADO") pl.x_empleado = dato.texto();
      if (dato.atributo("nombre_dato") == "F_TOMAPOS") pl.f_tomapos = dato.texto();
    }
    for (const Nodo& e : p.hijos_elemento("grupo_datos")) {
      EntradaLeida el;
      el.seq = e.atributo("seq");
      for (const Nodo& dato : e.hijos_elemento("dato")) {
        el.nombres.push_back(dato.atributo("nombre_dato"));
        el.valores.push_back(dato.texto());
      }
      pl.entradas.push_back(std::move(el));
    }
    r.profesores.push_back(std::move(pl));
  }
  return r;
}

}  // namespace tts::prueba
