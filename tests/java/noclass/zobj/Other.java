package zobj;

// An archive whose classes do not include zobj.Run.
public class Other {
    public static void runWithPath(String path) {}
}
