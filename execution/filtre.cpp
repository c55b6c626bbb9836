#include "filtre.h"

#include <cerrno>
#include <cstdint>
#include <memory>

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr const char* appelsRefuses[] = {
    "memfd_create", "memfd_secret",
    "shmget", "shmat", "shmctl", "shmdt",
    "msgget", "msgsnd", "msgrcv", "msgctl",
    "semget", "semop", "semtimedop", "semctl",
    "ipc", // i386's one door to all of the above
    "setsid",
};

} // namespace

int compilerFiltre()
{
    const std::unique_ptr<void, void (*)(scmp_filter_ctx)> contexte(seccomp_init(SCMP_ACT_ALLOW), seccomp_release);
    if (!contexte) {
        errno = ENOMEM;
        return -1;
    }
    int resultat = 0;
    if (seccomp_arch_native() == SCMP_ARCH_X86_64) {
        for (const std::uint32_t architecture : {std::uint32_t{SCMP_ARCH_X86}, std::uint32_t{SCMP_ARCH_X32}}) {
            if (resultat == 0)
                resultat = seccomp_arch_add(contexte.get(), architecture);
        }
    }
    for (const char* nom : appelsRefuses) {
        const int appel = seccomp_syscall_resolve_name(nom);
        // An older kernel's headers may not know the newest ones.
        if (appel != __NR_SCMP_ERROR && resultat == 0)
            resultat = seccomp_rule_add(contexte.get(), SCMP_ACT_ERRNO(EPERM), appel, 0);
    }
    const int fichier = resultat == 0 ? memfd_create("filtre", MFD_CLOEXEC) : -1;
    if (fichier >= 0)
        resultat = seccomp_export_bpf(contexte.get(), fichier);
    if (resultat == 0 && fichier >= 0 && lseek(fichier, 0, SEEK_SET) == 0)
        return fichier;
    if (fichier >= 0)
        close(fichier);
    errno = resultat < 0 ? -resultat : errno;
    return -1;
}

bool lireFiltre(int descripteur, std::string& programme)
{
    char tampon[4096];
    for (;;) {
        const ssize_t lus = read(descripteur, tampon, sizeof tampon);
        if (lus < 0 && errno == EINTR)
            continue;
        if (lus <= 0)
            return lus == 0 && !programme.empty() && programme.size() % sizeof(sock_filter) == 0;
        programme.append(tampon, static_cast<std::size_t>(lus));
    }
}

bool chargerFiltre(const char* programme, std::size_t taille)
{
    sock_fprog description{static_cast<unsigned short>(taille / sizeof(sock_filter)),
                           reinterpret_cast<sock_filter*>(const_cast<char*>(programme))};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0
        && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &description) == 0;
}
