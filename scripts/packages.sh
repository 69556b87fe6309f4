# Sourced by the scripts in this folder: installs Debian packages that are
# missing, refreshing the package lists first only when something is.

ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed$'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "Missing packages: ${missing[*]}; run this script as root to install them." >&2
      return 1
    fi
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What a build of the core and tervane-cli needs, and what every build needs,
# the desktop app's Qt included.
CORE_BUILD_PACKAGES=(cmake ninja-build g++ libcli11-dev nlohmann-json3-dev)
BUILD_PACKAGES=("${CORE_BUILD_PACKAGES[@]}" qt6-base-dev qt6-svg-dev)

# A font for windows drawn without a desktop (offscreen tests, screenshots).
FONT_PACKAGES=(fonts-dejavu-core)

# The sanitizer build and the fuzzers: clang and its runtimes (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer).
SANITIZE_PACKAGES=(clang libclang-rt-14-dev)

# The Windows check (scripts/test-windows): the MinGW-w64 cross compiler
# with posix threads, and Wine to run what it builds.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64)
