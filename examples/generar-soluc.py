#!/usr/bin/python3
# -*- coding: utf-8 -*-
"""Escribe una tabla SOLUC como la dejaría el programa de horarios para el centro
cuyas tablas de intercambio están en CARPETA_TABLAS.

Lee con dbfread las tablas que escribió la exportación (PROFT, ASIGNOMT,
GRUPOST, AULAT, ASIGT y DIASHORAST) y escribe con la biblioteca dbf, que no es la
nuestra, una tabla dBase III con los campos

    PROF C(4), DIA N(2,0), HORA N(2,0), SESION N(3,0), ASIG C(4),
    CODGRUPO C(4), AULA C(4), TIPO C(1)

SESION y TIPO son campos propios del programa de horarios: la importación no
los lee. Los códigos son los de las tablas: ABREV de PROFT, COD de ASIGNOMT,
ABREV de GRUPOST, ABREV de AULAT y los periodos de DIASHORAST.

Contenido, con semilla fija:
- cada fila de ASIGT (materia x unidad) recibe un profesor y 4 sesiones de
  lunes a viernes, colocadas con un reparto voraz que evita, mientras puede,
  que un profesor, una unidad o un aula estén en dos sitios a la vez; las
  unidades de adultos (nivel ESPA) van en la jornada de tarde;
- cada profesor tiene además unas cuantas actividades (filas de ASIGNOMT con
  CODTAREA), las guardias de recreo en los recreos;
- algunas sesiones sin día (DIA 0), como las deja el programa cuando no puede
  colocarlas;
- unas pocas filas cuyos códigos no casan con nada: un profesor que no está en
  PROFT, una materia, una unidad y un periodo que no existen. Las aulas son
  siempre de AULAT, porque la importación escribe el código tal cual.

Uso: generar-soluc.py CARPETA_TABLAS SALIDA.DBF
"""

import os
import random
import sys

import dbf
import dbfread

SEMILLA = 20260120
SESIONES_POR_ASIGNACION = 4
# Fecha fija en la cabecera, para que el archivo no cambie de una ejecución a otra.
FECHA_CABECERA = (2026 - 1900, 1, 20)

ESTRUCTURA = ("PROF C(4); DIA N(2,0); HORA N(2,0); SESION N(3,0); ASIG C(4); "
              "CODGRUPO C(4); AULA C(4); TIPO C(1)")

# Palabras del nombre de una materia -> palabras del nombre del aula donde se da.
AULAS_ESPECIALES = [
    ("Educación Física", ("Gimnasio", "Pista")),
    ("Música", ("Aula de Música",)),
    ("Dibujo", ("Aula de Dibujo",)),
    ("Plástica", ("Aula de Dibujo",)),
    ("Tecnolog", ("Taller de Tecnología",)),
    ("Física y Química", ("Laboratorio de Física", "Laboratorio de Química")),
    ("Química", ("Laboratorio de Química",)),
    ("Biología", ("Laboratorio de Biología",)),
    ("Programación", ("Aula de Informática",)),
    ("Digitaliz", ("Aula de Informática",)),
    ("Sistemas", ("Aula de Informática",)),
    ("Redes", ("Aula de Informática",)),
    ("red", ("Aula de Informática",)),
    ("Bases de datos", ("Aula de Informática",)),
]


def leer_tabla(carpeta, nombre):
    """Las filas de la tabla `nombre` de la carpeta, como diccionarios."""
    for archivo in sorted(os.listdir(carpeta)):
        if archivo.upper() == nombre + ".DBF":
            ruta = os.path.join(carpeta, archivo)
            return [dict(fila) for fila in dbfread.DBF(ruta, encoding="cp1252",
                                                       char_decode_errors="strict")]
    sys.exit("generar-soluc.py: no está la tabla %s.DBF en %s" % (nombre, carpeta))


def texto(valor):
    return "" if valor is None else str(valor).strip()


class Ocupacion:
    """Qué (día, periodo) tiene ya ocupados cada profesor, unidad o aula."""

    def __init__(self):
        self.ocupado = {}

    def libre(self, quien, hueco):
        return not quien or hueco not in self.ocupado.get(quien, ())

    def ocupar(self, quien, hueco):
        if quien:
            self.ocupado.setdefault(quien, set()).add(hueco)


def leer_centro(carpeta):
    profesores = [texto(f["ABREV"]) for f in leer_tabla(carpeta, "PROFT")]
    nombres = leer_tabla(carpeta, "ASIGNOMT")
    nombre_de = {}
    for f in nombres:
        nombre_de.setdefault(texto(f["COD"]), texto(f["NOMBRE"]))
    actividades = [(texto(f["COD"]), texto(f["NOMBRE"])) for f in nombres
                   if texto(f["CODTAREA"]) and texto(f["COD"])]
    unidades = {}
    for f in leer_tabla(carpeta, "GRUPOST"):
        unidades.setdefault(texto(f["ABREV"]), texto(f["NIVEL"]))
    aulas = [(texto(f["ABREV"]), texto(f["NOMBRE"])) for f in leer_tabla(carpeta, "AULAT")]
    asignaciones = [(texto(f["CASIG"]), texto(f["CGRUP"])) for f in leer_tabla(carpeta, "ASIGT")]

    # Periodos de lunes a viernes: de clase o de recreo, de mañana o de tarde.
    periodos = {"manana": [], "tarde": [], "recreo manana": [], "recreo tarde": []}
    vistos = set()
    for f in leer_tabla(carpeta, "DIASHORAST"):
        dia, hora = int(texto(f["DIA"])), int(texto(f["HORA"]))
        if not 1 <= dia <= 5 or (dia, hora) in vistos:
            continue
        vistos.add((dia, hora))
        jornada = "manana" if texto(f["HORADESDE"]) < "15:00" else "tarde"
        if texto(f["TEXTOHOR"]).lower().startswith("recreo"):
            jornada = "recreo " + jornada
        periodos[jornada].append((dia, hora))
    return profesores, nombre_de, actividades, unidades, aulas, asignaciones, periodos


def aulas_preferidas(nombre_materia, aulas):
    for palabra, nombres_aula in AULAS_ESPECIALES:
        if palabra in nombre_materia:
            return [c for c, n in aulas if any(n.startswith(x) for x in nombres_aula)]
    return []


def generar(carpeta):
    azar = random.Random(SEMILLA)
    (profesores, nombre_de, actividades, unidades, aulas, asignaciones,
     periodos) = leer_centro(carpeta)
    manana, tarde = periodos["manana"], periodos["tarde"]
    if not profesores or not asignaciones or not manana:
        sys.exit("generar-soluc.py: las tablas de %s no tienen profesores, "
                 "asignaciones o periodos" % carpeta)

    ordinarias = [c for c, n in aulas
                  if len(n) == 4 and n[0] in "ABC" and n[1:].isdigit() and c]
    aula_de_unidad = {u: (ordinarias[i] if i < len(ordinarias) else "")
                      for i, u in enumerate(unidades)}

    ocupacion = Ocupacion()
    entradas = {p: [] for p in profesores}   # profesor -> [(dia, hora, sesion, asig, grupo, aula, tipo)]
    carga = {p: 0 for p in profesores}
    # Carga que cada profesor alcanza antes de que la materia pase a otro; por
    # debajo de la media, para que todos tengan clases.
    media = len(asignaciones) * SESIONES_POR_ASIGNACION // len(profesores)
    tope = max(SESIONES_POR_ASIGNACION,
               media // SESIONES_POR_ASIGNACION * SESIONES_POR_ASIGNACION)
    orden_profesores = profesores[:]
    azar.shuffle(orden_profesores)

    # Cada materia la da un profesor en sus unidades hasta que llega al tope;
    # entonces sigue el profesor con menos carga.
    profesor_de_materia = {}
    for asig, grupo in asignaciones:
        prof = profesor_de_materia.get(asig)
        if prof is None or carga[prof] + SESIONES_POR_ASIGNACION > tope:
            prof = min(orden_profesores, key=lambda p: carga[p])
            profesor_de_materia[asig] = prof
        carga[prof] += SESIONES_POR_ASIGNACION

        huecos = tarde if unidades.get(grupo) == "ESPA" and tarde else manana
        preferidas = aulas_preferidas(nombre_de.get(asig, ""), aulas)
        dias_usados = []
        for sesion in range(1, SESIONES_POR_ASIGNACION + 1):
            candidatos = [h for h in huecos if ocupacion.libre(prof, h)]
            if not candidatos:
                entradas[prof].append((0, 0, sesion, asig, grupo, "", "L"))
                continue
            azar.shuffle(candidatos)
            candidatos.sort(key=lambda h: (not ocupacion.libre(grupo, h),
                                           h[0] in dias_usados))
            hueco = candidatos[0]
            aula = ""
            for c in preferidas + [aula_de_unidad.get(grupo, "")] + ordinarias:
                if c and ocupacion.libre("aula " + c, hueco):
                    aula = c
                    break
            for quien in (prof, grupo, "aula " + aula if aula else ""):
                ocupacion.ocupar(quien, hueco)
            dias_usados.append(hueco[0])
            entradas[prof].append(hueco + (sesion, asig, grupo, aula, "L"))

    # Actividades de cada profesor: guardias de recreo en los recreos, las
    # demás en huecos libres de su jornada (la de tarde solo para quien da
    # clase por la tarde).
    recreo = [a for a in actividades if "recreo" in a[1].lower()]
    otras = [a for a in actividades if "recreo" not in a[1].lower() and a[1] != "Docencia"]
    for n, prof in enumerate(profesores):
        de_tarde = any(e[:2] in tarde for e in entradas[prof])
        jornada = manana + (tarde if de_tarde else [])
        recreos = periodos["recreo manana"] + (periodos["recreo tarde"] if de_tarde else [])
        elegidas = azar.sample(otras, azar.randint(1, 3))
        if recreo and recreos:
            elegidas.append(azar.choice(recreo))
        for asig, nombre in elegidas:
            huecos = recreos if "recreo" in nombre.lower() else jornada
            libres = [h for h in huecos if ocupacion.libre(prof, h)]
            veces = min(len(libres), azar.randint(1, 2))
            for sesion, hueco in enumerate(azar.sample(libres, veces), start=1):
                ocupacion.ocupar(prof, hueco)
                entradas[prof].append(hueco + (sesion, asig, "", "", "A"))
        # De vez en cuando una actividad que el programa no llegó a colocar.
        if n % 9 == 4:
            asig, _ = azar.choice(otras)
            entradas[prof].append((0, 0, 1, asig, "", "", "A"))

    filas = []
    for prof in profesores:
        colocadas = sorted(e for e in entradas[prof] if e[0] != 0)
        sin_dia = [e for e in entradas[prof] if e[0] == 0]
        filas += [(prof,) + e for e in colocadas + sin_dia]

    # Filas cuyos códigos no casan con nada.
    prof_ajeno = codigo_ajeno(("ZZ9", "ZZ8", "ZY9"), profesores)
    asig_ajena = codigo_ajeno(("ZZZZ", "ZZZY", "ZZYY"), nombre_de)
    grupo_ajeno = codigo_ajeno(("9ZZ", "9ZY", "9YY"), unidades)
    asig, grupo = asignaciones[0]
    ultimo_periodo = max(h for lista in periodos.values() for _, h in lista)
    primero = filas[0][0]
    raras = [
        (prof_ajeno, 2, manana[0][1], 1, asig, grupo, "", "L"),
        (prof_ajeno, 0, 0, 1, asig, grupo, "", "L"),
        (primero, 3, manana[1][1], 1, asig_ajena, grupo, "", "L"),
        (primero, 4, manana[2][1], 1, asig, grupo_ajeno, "", "L"),
        (primero, 5, ultimo_periodo + 2, 1, asig, grupo, "", "L"),
    ]
    mitad = len(filas) // 2
    return filas[:mitad] + raras[:2] + filas[mitad:] + raras[2:]


def codigo_ajeno(candidatos, usados):
    """El primer candidato que no es ninguno de los códigos usados."""
    usados = {c.lower() for c in usados}
    return next(c for c in candidatos if c.lower() not in usados)


def escribir(filas, salida):
    for ruta in (salida, os.path.splitext(salida)[0] + ".dbt"):
        if os.path.exists(ruta):
            os.remove(ruta)
    tabla = dbf.Table(salida, ESTRUCTURA, dbf_type="db3", codepage="cp1252")
    tabla.open(dbf.READ_WRITE)
    try:
        for fila in filas:
            tabla.append(fila)
    finally:
        tabla.close()
    with open(salida, "r+b") as f:
        f.seek(1)
        f.write(bytes(FECHA_CABECERA))


def main():
    if len(sys.argv) != 3:
        sys.exit("uso: generar-soluc.py CARPETA_TABLAS SALIDA.DBF")
    filas = generar(sys.argv[1])
    escribir(filas, sys.argv[2])
    print("%s: %d filas" % (sys.argv[2], len(filas)))


if __name__ == "__main__":
    main()
