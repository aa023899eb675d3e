// Which Quorel DLL a process needs and where it is, decided at run time.
//
// Windows: the DLL of the process's bitness is looked for in the program's
// folder under x64\ or x86\ (where the package's .targets puts them for an
// Any CPU build), under runtimes\win-x64\native\ (SDK projects), and in the
// folder itself. Its PE header is checked against the process before it is
// loaded by absolute path, so the DllImports bind to it; the driver-access
// library's folder, given or found, joins the DLL search for that load.
// Mono on Linux: nothing is preloaded, dllmap names libquorel.so instead;
// the copy mono would take first is only checked for being whole.
using System;
using System.Collections.Generic;
using System.ComponentModel;
using System.IO;
using System.Runtime.InteropServices;

namespace Quorel
{
    /// <summary>The Quorel DLL or its driver-access library cannot be used.
    /// The message names the file, its bitness and the process's, or the
    /// folders tried. Missing is "library", "driver" or null.</summary>
    public class QuorelLoadException : DllNotFoundException
    {
        public QuorelLoadException(string message, string path, string missing, string[] folders)
            : base(message) { Path = path; Missing = missing; Folders = folders ?? new string[0]; }
        public string Path { get; private set; }
        public string Missing { get; private set; }
        public string[] Folders { get; private set; }
    }

    static class Loader
    {
        static readonly object Gate = new object();
        static bool loaded;

        public static int ProcessBits { get { return IntPtr.Size * 8; } }
        public static string LibraryName(int bits) { return bits == 32 ? "Quorel_32D.dll" : "Quorel_64.dll"; }
        public const string SharedObjectName = "libquorel.so";
        public static string DriverName(int bits) { return bits == 32 ? "Ulvexa32.dll" : "Ulvexa64.dll"; }
        static string Arch(int bits) { return bits == 32 ? "x86" : "x64"; }
        static bool OnWindows { get { return Environment.OSVersion.Platform == PlatformID.Win32NT; } }
        static string BaseFolder { get { return AppDomain.CurrentDomain.BaseDirectory; } }

        public static void EnsureLoaded()
        {
            if (!loaded)
                Load(null);
        }

        public static void Load(string driverDirectory)
        {
            lock (Gate)
            {
                if (loaded)
                    return;
                if (OnWindows)
                    LoadOnWindows(driverDirectory);
                else
                    CheckSharedObject(SharedObjectFolders(BaseFolder));
                loaded = true;
            }
        }

        public static string[] LibraryFolders(string baseFolder, int bits)
        {
            return new[] {
                Path.Combine(baseFolder, Arch(bits)),
                Path.Combine(baseFolder, "runtimes", "win-" + Arch(bits), "native"),
                baseFolder };
        }

        // The DLL for this bitness, checked; or why there is none.
        public static string FindLibrary(string baseFolder, int bits)
        {
            string[] folders = LibraryFolders(baseFolder, bits);
            string found = FirstWith(folders, LibraryName(bits));
            if (found == null)
            {
                int other = bits == 32 ? 64 : 32;
                string there = FirstWith(LibraryFolders(baseFolder, other), LibraryName(other));
                string hint = there == null ? "" : string.Format(
                    " ({0} is there, but it is the {1}-bit DLL and this process is {2}-bit: build for {3}," +
                    " or for Any CPU with the {4}-bit DLL in {5}{6})", there, other, bits, Arch(other), bits,
                    Arch(bits), Path.DirectorySeparatorChar);
                throw new QuorelLoadException(string.Format("{0} not found; folders tried: {1}{2}",
                    LibraryName(bits), Tried(folders), hint), null, "library", folders);
            }
            CheckFile(found, bits, "");
            return found;
        }

        // Mono looks beside the program first, then where dlopen looks.
        public static string[] SharedObjectFolders(string baseFolder)
        {
            var folders = new List<string> { baseFolder };
            folders.AddRange((Environment.GetEnvironmentVariable("LD_LIBRARY_PATH") ?? "").Split(Path.PathSeparator));
            return folders.FindAll(folder => folder.Length > 0).ToArray();
        }

        // A libquorel.so cut short would kill the process at its first call.
        public static void CheckSharedObject(string[] folders)
        {
            string found = FirstWith(folders, SharedObjectName);
            if (found != null)
                CheckWhole(found, "");
        }

        static void CheckWhole(string path, string what)
        {
            string problem = ImageCheck.Problem(path);
            if (problem != null)
                throw new QuorelLoadException(string.Format("{0}{1} is truncated or damaged: {2}. Replace it with an" +
                    " intact copy (reinstall the package, or copy the file again)", path, what, problem), path, null, null);
        }

        public static void CheckFile(string path, int bits, string what)
        {
            CheckWhole(path, what);
            int fileBits;
            string machine = PeMachine(path, out fileBits);
            if (machine == null)
                throw new QuorelLoadException(path + what + " is not a Windows DLL", path, null, null);
            if (fileBits != bits)
                throw new QuorelLoadException(string.Format(
                    "{0}{1} is a {2}-bit Windows DLL ({3}), but this process is {4}-bit: build for {5}," +
                    " or use the {4}-bit DLL", path, what, fileBits, machine, bits, Arch(fileBits)), path, null, null);
        }

        // IMAGE_FILE_HEADER.Machine, found through e_lfanew; null if not a PE file.
        static string PeMachine(string path, out int bits)
        {
            bits = 0;
            byte[] head = new byte[64];
            using (var file = File.OpenRead(path))
            {
                if (file.Read(head, 0, 64) < 64 || head[0] != 'M' || head[1] != 'Z')
                    return null;
                file.Seek(BitConverter.ToInt32(head, 0x3C), SeekOrigin.Begin);
                if (file.Read(head, 0, 6) < 6 || head[0] != 'P' || head[1] != 'E' || head[2] != 0 || head[3] != 0)
                    return null;
            }
            switch (BitConverter.ToUInt16(head, 4))
            {
                case 0x014C: bits = 32; return "x86";
                case 0x8664: bits = 64; return "x64";
                case 0xAA64: bits = 64; return "ARM64";
                default: return string.Format("machine 0x{0:X4}", BitConverter.ToUInt16(head, 4));
            }
        }

        public static string[] DriverFolders(string libraryFolder, string baseFolder, string driverDirectory)
        {
            if (driverDirectory != null)
                return new[] { Path.GetFullPath(driverDirectory) };
            var folders = new List<string> { libraryFolder, baseFolder, Environment.SystemDirectory };
            foreach (string folder in (Environment.GetEnvironmentVariable("PATH") ?? "").Split(Path.PathSeparator))
                if (folder.Length > 0 && !folders.Contains(folder))
                    folders.Add(folder);
            return folders.ToArray();
        }

        static void LoadOnWindows(string driverDirectory)
        {
            int bits = ProcessBits;
            string library = FindLibrary(BaseFolder, bits);
            string[] folders = DriverFolders(Path.GetDirectoryName(library), BaseFolder, driverDirectory);
            string driver = FirstWith(folders, DriverName(bits));
            if (driver != null)
                CheckFile(driver, bits, " (the driver-access library)");
            if (driver != null)
                SetDllDirectoryW(Path.GetDirectoryName(driver));
            IntPtr module = LoadLibraryExW(library, IntPtr.Zero, LoadWithAlteredSearchPath);
            int error = Marshal.GetLastWin32Error();
            if (driver != null)
                SetDllDirectoryW(null);
            if (module == IntPtr.Zero)
                throw LoadFailure(library, DriverName(bits), driver, folders, error);
        }

        public static QuorelLoadException LoadFailure(string library, string driverName, string driver, string[] folders, int error)
        {
            if (driver == null)
                return new QuorelLoadException(string.Format(
                    "{0} could not be loaded: its driver-access library {1} was not found; folders tried: {2}." +
                    " Put the card maker's {1} in one of them or give its folder to NativeMethods.Load," +
                    " or the stand-in {1} (the release zip's sim\\{3}) for the simulated PC", library, driverName, Tried(folders), Arch(ProcessBits)),
                    library, "driver", folders);
            return new QuorelLoadException(string.Format("{0} could not be loaded ({1}); its driver-access library is {2}",
                library, new Win32Exception(error).Message, driver), library, null, null);
        }

        static string FirstWith(string[] folders, string name)
        {
            foreach (string folder in folders)
                if (File.Exists(Path.Combine(folder, name)))
                    return Path.Combine(folder, name);
            return null;
        }

        static string Tried(string[] folders) { return folders.Length == 0 ? "(none)" : string.Join("; ", folders); }

        const uint LoadWithAlteredSearchPath = 0x00000008;  // dependencies searched from the DLL's own folder
        [DllImport("kernel32", CharSet = CharSet.Unicode, SetLastError = true)]
        static extern IntPtr LoadLibraryExW(string path, IntPtr reserved, uint flags);
        [DllImport("kernel32", CharSet = CharSet.Unicode, SetLastError = true)]
        static extern bool SetDllDirectoryW(string path);
    }
}
