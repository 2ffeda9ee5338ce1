# `make package`: a Debian package of the install, built by CPack. dpkg-shlibdeps works
# out the library dependencies; Qt's X11 platform plugin is loaded at run time, so it
# is named here.
set(TINCTOR_MAINTAINER "Tinctor developers <tinctor@example.org>" CACHE STRING "Maintainer of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tinctor)
set(CPACK_PACKAGE_VENDOR "Tinctor developers")
set(CPACK_PACKAGE_CONTACT "${TINCTOR_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colour picker that writes colour codes")
set(CPACK_PACKAGE_DESCRIPTION
"Tinctor picks a colour from anywhere on the screen with an eyedropper or
from a colour table, shows it as RGB, brightness and HLS, changes it with
seven sliders and writes it as a colour code in six notations (HTML, Visual
Basic, Delphi, C, RGB() and the plain 32-bit number) or as a colour name.
Colours are kept with comments in colour lists. Its interface is Japanese.
.
Small scripts in Kestrel, an ECMAScript dialect with its own engine, change
the current colour; the kestrel command runs such scripts on the terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-ipafont-gothic | fonts-japanese-gothic, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TINCTOR_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
