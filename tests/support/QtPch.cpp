// Holds the precompiled Qt headers that the GUI test programs share.
