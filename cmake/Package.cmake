# The Debian package varid_<version>-<revision>_<arch>.deb, made by
# `cpack -G DEB` in a Release build (scripts/make-deb.sh does both). Its
# runtime dependencies come from dpkg-shlibdeps, never from a list kept here.
set(VARID_MAINTAINER "Varid maintainers <varid@users.noreply.github.com>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varid)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Varid maintainers")
set(CPACK_PACKAGE_CONTACT ${VARID_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calibration calculator for pulse-counting detectors")
set(CPACK_PACKAGE_DESCRIPTION
    "Varid works out the calibration of a pulse-counting detector from measured
points: from the reference values and two readings per point (frequencies or
periods), four calibration points and the period T it derives the detector's
dead time, its registration efficacy and three correction coefficients, and
shows every point's corrected value and its deviation in percent. A
hand-chosen set of the five values can be applied to the same points.

Calibrations are kept in XML archives, and the last session comes back at
the next start. Export writes the data as an Excel workbook, whose numbers
are numbers in any locale, or as CSV. The command varid-export does the same
for an archive, or recounts it to audit a stored calibration, without a
display. The interface speaks English, Russian and Ukrainian.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# The Debian revision: the changelog in packaging/ must name the same
# version, and the first packaging of an upstream version is revision 1.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VARID_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The toolkit's own catalogue, so its stock texts are translated too; the
# program works without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS wx3.2-i18n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
