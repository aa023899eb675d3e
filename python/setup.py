"""The quorel package. Which wheel it builds follows from the libraries put
into quorel/lib (scripts/package.sh does): Quorel_64.dll makes a win_amd64
wheel, Quorel_32D.dll a win32 one, libquorel.so one for this Linux machine,
none a pure Python wheel that finds the library on the library path."""
import os
import sysconfig

from setuptools import setup
from wheel.bdist_wheel import bdist_wheel

HERE = os.path.dirname(os.path.abspath(__file__))
LIB = os.path.join(HERE, "quorel", "lib")


def platform_tag():
    present = set(os.listdir(LIB)) if os.path.isdir(LIB) else set()
    if "Quorel_64.dll" in present:
        return "win_amd64"
    if "Quorel_32D.dll" in present:
        return "win32"
    if "libquorel.so" in present:
        return sysconfig.get_platform().replace("-", "_").replace(".", "_")
    return None


class PlatformWheel(bdist_wheel):
    """Python 3, no ABI (ctypes only), the platform of the library inside.
    The files go to site-packages as they are (Root-Is-Purelib), since
    nothing in them is built for one interpreter."""

    def get_tag(self):
        tag = platform_tag()
        return ("py3", "none", tag) if tag else super().get_tag()


def package_files():
    return [os.path.relpath(os.path.join(folder, name), os.path.join(HERE, "quorel"))
            for folder, _, names in os.walk(LIB) for name in names]


setup(
    name="quorel",
    version=os.environ.get("QUOREL_VERSION", "1.1.0"),
    description="Register access to the QUOREL PCI card",
    long_description=open(os.path.join(HERE, "README.md"), encoding="utf-8").read(),
    long_description_content_type="text/markdown",
    packages=["quorel"],
    package_data={"quorel": package_files()},
    python_requires=">=3.8",
    cmdclass={"bdist_wheel": PlatformWheel},
)
