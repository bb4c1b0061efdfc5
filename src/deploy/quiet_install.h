/* Quiet mode's installation: no notice, no page, no window of any kind. */
#ifndef DEPLOY_QUIET_INSTALL_H
#define DEPLOY_QUIET_INSTALL_H

/* After the start-up checks: the version policy, then the installation as OK
 * on the page runs it with "Use a network port" unticked (the Add Printer
 * wizard needs a user).  Every outcome is recorded for the exit code. */
void InstallQuietly(void);

#endif
