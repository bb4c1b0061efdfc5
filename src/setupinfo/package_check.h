/* The package check (/check): every problem the launcher would meet in the
 * package on a customer's PC, found in one run and reported line by line. */
#ifndef SETUPINFO_PACKAGE_CHECK_H
#define SETUPINFO_PACKAGE_CHECK_H

/* Checks the package in the current folder, of any length, as the launcher
 * reads it from a launch folder of up to 100 bytes, and reports each problem
 * with its key, entry or file, then the longest launch folder the package
 * allows.  Writes nothing into the package.  Returns the exit code, with the
 * number of errors in *errors: 0 when there is no error (warnings allowed),
 * ERROR_INSTALL_PACKAGE_INVALID when there is one. */
int CheckPackage(int *errors);

#endif
