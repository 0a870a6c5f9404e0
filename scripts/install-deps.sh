#!/usr/bin/env bash
# Installs the Debian packages Kestro needs that are not there yet.
# Usage: scripts/install-deps.sh [GROUP...]   (default: test)
#   run          building and running the Linux bar
#   windows      the cross build and its tests under Wine (with the
#                Japanese locale Wine takes its code page 932 from)
#   screenshots  pictures of the windows under Xvfb
#   package      making the Debian package and the Windows zip, and the
#                checks of scripts/check-packages.sh
#   test         everything every test needs: all of the above, real TeX
#                tools, GoogleTest, Google Benchmark, clang for fuzzing,
#                qpdf and poppler-utils (pdfinfo, pdftotext) to read the PDFs the
#                real tools make
set -euo pipefail

groups=("$@")
[ ${#groups[@]} -eq 0 ] && groups=(test)

packages=()
add_group() {
  case $1 in
    # qt6-wayland: the bar on a Wayland desktop without XWayland;
    # qt6-translations-l10n: Qt's own words in the desktop's language;
    # fonts-vlgothic: a monospaced face for the console with Japanese glyphs
    # that draws a backslash where IPAGothic draws a yen sign.
    run) packages+=(cmake g++ make pkg-config qt6-base-dev libqt6svg6 qt6-wayland qt6-translations-l10n
                    texlive-lang-japanese texlive-latex-base texlive-latex-recommended
                    fonts-ipaexfont-gothic fonts-vlgothic xdg-utils) ;;
    # The POSIX-thread flavour of the cross compiler: GoogleTest needs
    # std::mutex, which the win32-thread flavour lacks.
    windows) packages+=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
                        googletest wine wine64 locales fonts-ipafont-gothic) ;;
    # fonts-wine: the symbols of Wine's title bar buttons.
    # openbox: window frames and stay-on-top, as on a desktop.
    screenshots) packages+=(xvfb xauth openbox imagemagick fonts-wine fonts-ipaexfont-gothic libqt6svg6 googletest) ;;
    # dpkg-dev and file: CPack's dpkg-shlibdeps run; the rest checks the result.
    package) packages+=(dpkg-dev file lintian appstream desktop-file-utils man-db groff-base
                        bash-completion unzip) ;;
    # weston: the bar's start under a headless Wayland compositor.
    test) add_group run; add_group windows; add_group screenshots; add_group package
          packages+=(googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev llvm latexmk qpdf poppler-utils weston) ;;
    *) echo "install-deps: unknown group $1" >&2; exit 2 ;;
  esac
}
for g in "${groups[@]}"; do add_group "$g"; done

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ -n "$sudo" ] && ! command -v sudo >/dev/null; then
    echo "Please install as root: ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q -o DPkg::Lock::Timeout=900
  $sudo apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=900 "${missing[@]}"
fi

# Wine takes its ANSI code page from the locale: 932 needs ja_JP.UTF-8.
if printf '%s\n' "${packages[@]}" | grep -qx locales &&
   ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $sudo locale-gen >/dev/null
fi
