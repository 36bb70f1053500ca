"""The wheel's build: the package in kelvora/ and the extension kelvora._core, which the
python preset's CMake build (build/python) compiles from the core's sources, the very module
the tests and the Debian package use. Versioned as the top-level CMakeLists.txt's project().
"""

import glob
import os
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
BUILD = os.path.join(ROOT, "build", "python")


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"project\(Kelvora\s+VERSION\s+([0-9.]+)", f.read()).group(1)


class CMakeExtension(build_ext):
    """Builds the extension with CMake (the python preset) and takes the module it made."""

    def build_extension(self, ext):
        subprocess.run(["cmake", "--preset", "python", f"-DPython_EXECUTABLE={sys.executable}"],
                       cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", "--preset", "python", "--target",
                        "kelvora_python_core"], cwd=ROOT, check=True)
        suffix = os.path.basename(self.get_ext_filename(ext.name))
        built = os.path.join(BUILD, "python", "kelvora", suffix)
        if not os.path.exists(built):
            sys.exit(f"setup.py: CMake made no {built}: "
                     f"{glob.glob(os.path.join(BUILD, 'python', 'kelvora', '*.so'))}")
        target = self.get_ext_fullpath(ext.name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(built, target)


# The scratch folders of setuptools in the build tree, not beside the sources.
SCRATCH = os.path.relpath(os.path.join(BUILD, "setuptools"), HERE)
os.makedirs(SCRATCH, exist_ok=True)
setup(
    version=project_version(),
    ext_modules=[Extension("kelvora._core", sources=[])],
    cmdclass={"build_ext": CMakeExtension},
    options={"build": {"build_base": SCRATCH}, "egg_info": {"egg_base": SCRATCH}},
)
