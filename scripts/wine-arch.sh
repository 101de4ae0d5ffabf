# Sourced by the scripts: which Windows build the tests and the demo run.
# The product is the 32-bit DLL; where the kernel runs no 32-bit programs (no 32-bit Wine),
# the same sources built for 64-bit Windows run in wine64 instead.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  VELDO_RUN_BUILD=win32
else
  VELDO_RUN_BUILD=win64
fi
