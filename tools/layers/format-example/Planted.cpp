int   planted( int a ){ return a; }
