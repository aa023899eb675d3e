#!/usr/bin/env python3
"""The library's exports as src/api/exports.txt lists them, and the copies
of that list kept by hand.

  exports.py names 32|64   the names Quorel_32D.dll, or Quorel_64.dll and
                           libquorel.so, export: one a line
  exports.py check [ROOT]  checks every copy against the table, name by name
                           with argument types (and so sizes), and the result
                           names of Python and C# against include/quorel.h:
                           one line per disagreement, naming the copy and the
                           function; exits 1 on any. ROOT (default: this
                           repository) lets a test check a copy of the tree.
"""
import collections
import importlib
import pathlib
import re
import sys

Export = collections.namedtuple("Export", "name types plain")
SIZES = {"int": 4, "int*": 4, "double": 8}  # argument bytes on 32-bit Windows
CSHARP_TYPES = {"out int": "int*", "int[]": "int*", "[Out] int[]": "int*"}  # the rest as in C
# Copies that give argument sizes only, by name: (file, pattern, bytes per
# unit, whether every export must be there).
SIZE_COPIES = [
    ("tests/api/e2e/e2e_support.c", r'\{"(Quorel_\w+)", (\d+), offsetof', 1, True),
    ("tests/api/e2e/e2e_stack.c", r'\{"(Quorel_\w+)", (\d+), \{', 4, False),
    ("bench/wine_timing.c", r'RESOLVE\(\w+, \w+, "(Quorel_\w+)", (\d+)', 1, False),
]


def read_table(root):
    exports = []
    for number, line in enumerate((root / "src/api/exports.txt").read_text().splitlines(), 1):
        if line.strip() and not line.startswith("#"):
            exports.append(parse_row(line, f"src/api/exports.txt:{number}"))
    return exports


def parse_row(line, where):
    columns = line.split()
    if len(columns) != 3 or columns[2] not in ("plain", "decorated-only"):
        sys.exit(f"{where}: want a name, its argument types and plain or decorated-only: {line}")
    types = tuple(t for t in columns[1].split(",") if t != "void")
    if any(t not in SIZES for t in types):
        sys.exit(f"{where}: {columns[0]}: argument types are {', '.join(SIZES)}, not {columns[1]}")
    return Export(columns[0], types, columns[2] == "plain")


def stack_bytes(export):
    return sum(SIZES[t] for t in export.types)


def decorated(export):
    return f"_{export.name}@{stack_bytes(export)}"


def names(exports, bits):
    if bits == "64":
        return [e.name for e in exports]
    return [decorated(e) for e in exports] + [e.name for e in exports if e.plain]


def without_name(parameter):
    """The type of a declared parameter: "int *major" gives "int *"."""
    return re.sub(r"\s*\b\w+$", "", parameter.strip()) or parameter.strip()


def c_types(parameters):
    kept = [without_name(p).replace(" ", "") for p in parameters.split(",")]
    return tuple(t for t in kept if t not in ("", "void"))


def csharp_types(parameters):
    kept = [without_name(p) for p in parameters.split(",") if p.strip()]
    return tuple(CSHARP_TYPES.get(t, t) for t in kept)


def declared(root, path, pattern, types):
    """{name: argument types} of every match of pattern in the file."""
    text = (root / path).read_text()
    return {m.group(1): types(m.group(2)) for m in re.finditer(pattern, text)}


def csharp_sections(root):
    """{"X64": {name: (types, entry point)}, "X86": ...} from Imports.cs."""
    text = (root / "dotnet/src/Imports.cs").read_text()
    sections = {}
    for cls, body in re.findall(r"static class (\w+)\s*\{(.*?)\n    \}", text, re.S):
        found = re.findall(r"\[DllImport\(([^\]]*)\)\] public static extern int (\w+)\(([^)]*)\);", body)
        sections[cls] = {name: (csharp_types(params), (re.findall(r'EntryPoint = "([^"]+)"', attr) or [name])[0])
                         for attr, name, params in found}
    return sections


def python_types(root):
    """{name: argument types} and the module, from python/quorel/_api.py as imported."""
    import ctypes
    sys.dont_write_bytecode = True  # leave no __pycache__ in the tree
    sys.path.insert(0, str(root / "python"))
    api = importlib.import_module("quorel._api")
    pointer = ctypes.POINTER(ctypes.c_int)
    words = {ctypes.c_int: "int", ctypes.c_double: "double", pointer: "int*"}
    return {name: tuple(words.get(t, t.__name__) for t in argtypes)
            for name, (argtypes, _) in api._FUNCTIONS.items()}, api


def show(value):
    return f"({', '.join(value)})" if isinstance(value, tuple) else f"{value} argument bytes"


def compare(copy, found, want, problems, full=True):
    """found, want: {name: argument types or bytes} as the copy declares them
    and as the table gives them. A partial copy need not name every export."""
    problems += [f"{copy}: {name}: not in src/api/exports.txt" for name in found if name not in want]
    for name, value in want.items():
        if name not in found:
            if full:
                problems.append(f"{copy}: {name}: missing")
        elif found[name] != value:
            problems.append(f"{copy}: {name}: declared {show(found[name])}, the table has {show(value)}")


def check_csharp(root, exports, problems):
    types = {e.name: e.types for e in exports}
    sections = csharp_sections(root)
    for cls, entry in (("X64", lambda e: e.name), ("X86", decorated)):
        declarations = sections.get(cls, {})
        compare(f"dotnet/src/Imports.cs {cls}", {n: d[0] for n, d in declarations.items()}, types, problems)
        problems += [f"dotnet/src/Imports.cs {cls}: {e.name}: entry point {declarations[e.name][1]}, "
                     f"the DLL exports {entry(e)}"
                     for e in exports if e.name in declarations and declarations[e.name][1] != entry(e)]
    for path in ("dotnet/src/ByBitness.cs", "dotnet/src/NativeMethods.cs"):
        found = declared(root, path, r"public static int (Quorel_\w+)\(([^)]*)\)", csharp_types)
        compare(path, found, types, problems)


def check_sizes(root, exports, problems):
    want = {e.name: stack_bytes(e) for e in exports}
    for path, pattern, unit, full in SIZE_COPIES:
        found = {m.group(1): int(m.group(2)) * unit for m in re.finditer(pattern, (root / path).read_text())}
        compare(path, found, want, problems, full)


def check_python(root, exports, problems):
    found, api = python_types(root)
    compare("python/quorel/_api.py", found, {e.name: e.types for e in exports}, problems)
    problems += [f"python/quorel/_api.py: {e.name}: loaded as {api._export_name(e.name, True)} from the "
                 f"32-bit DLL, which exports {e.name if e.plain else decorated(e)}"
                 for e in exports if api._export_name(e.name, True) != (e.name if e.plain else decorated(e))]
    return api


def check_results(root, api, problems):
    """The header's QUOREL_ results against Python's and C#'s names for them."""
    header = dict(re.findall(r"QUOREL_(\w+) = (\d+)", (root / "include/quorel.h").read_text()))
    csharp = dict(re.findall(r"public const int (\w+) = (\d+);", (root / "dotnet/src/NativeMethods.cs").read_text()))
    if not header:
        problems.append("include/quorel.h: names no results (QUOREL_SUCCESS = 0, ...)")
    for name, value in header.items():
        camel = "".join(word.capitalize() for word in name.split("_"))
        for copy, got in (("python/quorel/_api.py " + name, getattr(api, name, None)),
                          ("dotnet/src/NativeMethods.cs " + camel, csharp.get(camel))):
            if got is None or int(got) != int(value):
                problems.append(f"{copy}: {got if got is not None else 'missing'}, "
                                f"include/quorel.h has QUOREL_{name} = {value}")


def check(root):
    exports = read_table(root)
    types = {e.name: e.types for e in exports}
    problems = []
    c_declaration = r"int QUOREL_CALL (Quorel_\w+)%s\(([^)]*)\)"
    compare("include/quorel.h", declared(root, "include/quorel.h", c_declaration % "", c_types), types, problems)
    compare("src/api/traced_exports.cpp",
            declared(root, "src/api/traced_exports.cpp", c_declaration % "_traced", c_types), types, problems)
    check_results(root, check_python(root, exports, problems), problems)
    check_csharp(root, exports, problems)
    check_sizes(root, exports, problems)
    for problem in problems:
        print("FAIL " + problem)
    print(f"export copies: {len(problems)} disagreements" if problems else
          f"export copies: every copy agrees with src/api/exports.txt ({len(exports)} exports)")
    return 1 if problems else 0


def main(argv):
    root = pathlib.Path(__file__).resolve().parent.parent
    if len(argv) == 2 and argv[0] == "names" and argv[1] in ("32", "64"):
        print("\n".join(names(read_table(root), argv[1])))
        return 0
    if argv[:1] == ["check"] and len(argv) <= 2:
        return check(pathlib.Path(argv[1]) if len(argv) == 2 else root)
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
